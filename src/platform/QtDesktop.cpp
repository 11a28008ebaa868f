#include "platform/QtDesktop.h"
#include "platform/AppInfo.h"
#include "platform/DesktopOpener.h"
#include "platform/InstanceLock.h"
#include "platform/OleColor.h"

#include <QApplication>
#include <QColorDialog>
#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionTitleBar>
#include <cstdio>
#include <unistd.h>

namespace {
QWidget *dialogParent()
{
    return QApplication::activeWindow();
}

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? AppInfo::title() : title;
}

// The width at which a window's frame shows the title whole: the title in the
// title-bar font (bold, as frames mostly draw it) beside the frame's icon and
// buttons as the style lays a title bar out, with room around the text.
int widthForTitle(const QWidget &window, const QString &title)
{
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    QStyleOptionTitleBar bar;
    bar.initFrom(&window);
    bar.text = title;
    bar.titleBarFlags = Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint;
    const int height = window.style()->pixelMetric(QStyle::PM_TitleBarHeight, &bar, &window);
    constexpr int wide = 1000;
    bar.rect = QRect(0, 0, wide, height);
    const QRect label =
        window.style()->subControlRect(QStyle::CC_TitleBar, &bar, QStyle::SC_TitleBarLabel, &window);
    return QFontMetrics(font).horizontalAdvance(title) + (wide - label.width()) + 2 * height;
}

struct ButtonSet
{
    QList<QMessageBox::StandardButton> buttons;
    QList<int> results;
};

ButtonSet buttonsFor(int style)
{
    using MB = QMessageBox;
    switch (style & MsgBoxStyle::ButtonsMask) {
    case MsgBoxStyle::OKCancel:
        return {{MB::Ok, MB::Cancel}, {MsgBoxResult::OK, MsgBoxResult::Cancel}};
    case MsgBoxStyle::AbortRetryIgnore:
        return {{MB::Abort, MB::Retry, MB::Ignore},
                {MsgBoxResult::Abort, MsgBoxResult::Retry, MsgBoxResult::Ignore}};
    case MsgBoxStyle::YesNoCancel:
        return {{MB::Yes, MB::No, MB::Cancel}, {MsgBoxResult::Yes, MsgBoxResult::No, MsgBoxResult::Cancel}};
    case MsgBoxStyle::YesNo:
        return {{MB::Yes, MB::No}, {MsgBoxResult::Yes, MsgBoxResult::No}};
    case MsgBoxStyle::RetryCancel:
        return {{MB::Retry, MB::Cancel}, {MsgBoxResult::Retry, MsgBoxResult::Cancel}};
    default:
        return {{MB::Ok}, {MsgBoxResult::OK}};
    }
}

QMessageBox::Icon iconFor(int style)
{
    switch (style & MsgBoxStyle::IconMask) {
    case MsgBoxStyle::Critical:
        return QMessageBox::Critical;
    case MsgBoxStyle::Question:
        return QMessageBox::Question;
    case MsgBoxStyle::Exclamation:
        return QMessageBox::Warning;
    case MsgBoxStyle::Information:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}
} // namespace

int QtDesktop::messageBox(const QString &text, int style, const QString &title)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(titleOrDefault(title)), qPrintable(text));
        return buttonsFor(style).results.value(0, MsgBoxResult::OK);
    }
    QMessageBox box(iconFor(style), titleOrDefault(title), text, QMessageBox::NoButton, dialogParent());
    // A message box shows its text as it stands: file names and texts from data
    // files may look like markup.
    box.setTextFormat(Qt::PlainText);
    const ButtonSet set = buttonsFor(style);
    QList<QAbstractButton *> added;
    for (QMessageBox::StandardButton b : set.buttons)
        added.append(box.addButton(b));
    int defaultIndex = (style & MsgBoxStyle::DefaultButton3)   ? 2
                       : (style & MsgBoxStyle::DefaultButton2) ? 1
                                                               : 0;
    if (defaultIndex < added.size())
        box.setDefaultButton(qobject_cast<QPushButton *>(added[defaultIndex]));
    box.exec();
    const int index = added.indexOf(box.clickedButton());
    if (index < 0) // closed with Escape or the window's close button
        return set.results.contains(MsgBoxResult::Cancel) ? MsgBoxResult::Cancel : set.results.last();
    return set.results[index];
}

std::optional<QString> QtDesktop::inputBox(const QString &prompt, const QString &title,
                                           const QString &defaultText)
{
    QInputDialog box(dialogParent());
    box.setInputMode(QInputDialog::TextInput);
    box.setWindowTitle(titleOrDefault(title));
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    // Sized by its prompt alone, the box is narrower than its title, which the
    // frame then cuts short. Its layout sets its own least size, from the field.
    if (auto *field = box.findChild<QLineEdit *>()) {
        const QMargins margins = box.layout() ? box.layout()->contentsMargins() : QMargins();
        field->setMinimumWidth(widthForTitle(box, box.windowTitle()) - margins.left() - margins.right());
    }
    if (box.exec() != QDialog::Accepted)
        return std::nullopt;
    return box.textValue();
}

QString QtDesktop::openFileName(const QString &title, const QString &folder, const QString &filter)
{
    return QFileDialog::getOpenFileName(dialogParent(), title, folder, filter);
}

QString QtDesktop::saveFileName(const QString &title, const QString &folder, const QString &filter,
                                bool confirmOverwrite)
{
    const QFileDialog::Options options =
        confirmOverwrite ? QFileDialog::Options() : QFileDialog::Options(QFileDialog::DontConfirmOverwrite);
    return QFileDialog::getSaveFileName(dialogParent(), title, folder, filter, nullptr, options);
}

QString QtDesktop::folderName(const QString &title, const QString &folder)
{
    return QFileDialog::getExistingDirectory(dialogParent(), title, folder);
}

std::optional<quint32> QtDesktop::chooseColor(quint32 initial)
{
    QColor chosen = QColorDialog::getColor(OleColor::toQColor(initial), dialogParent());
    if (!chosen.isValid())
        return std::nullopt;
    return OleColor::fromQColor(chosen);
}

bool QtDesktop::printDialog(QPrinter &printer, const PrintDialogOptions &options)
{
    QPrintDialog dialog(&printer, dialogParent());
    dialog.setWindowTitle(options.title);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    if (options.pageCount > 0)
        dialog.setMinMax(1, options.pageCount);
    printer.setPrintRange(QPrinter::AllPages);
    return dialog.exec() == QDialog::Accepted;
}

std::optional<QFont> QtDesktop::chooseFont(const QFont &initial, const QString &sampleText)
{
    QFontDialog dialog(initial, dialogParent());
    dialog.setOption(QFontDialog::DontUseNativeDialog);
    // The preview shows the caller's own text (a module's first verse), so that
    // the reader sees whether the font has its letters.
    const QString firstLine = sampleText.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!firstLine.isEmpty())
        for (QLineEdit *edit : dialog.findChildren<QLineEdit *>())
            if (edit->text() == QLatin1String("AaBbYyZz"))
                edit->setText(firstLine);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.selectedFont();
}

QDateTime QtDesktop::now()
{
    return QDateTime::currentDateTime();
}

void QtDesktop::setWaitCursor(bool on)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return;
    if (on) {
        if (m_waitDepth++ == 0)
            QApplication::setOverrideCursor(Qt::WaitCursor);
    } else if (m_waitDepth > 0) {
        if (--m_waitDepth == 0)
            QApplication::restoreOverrideCursor();
    }
}

// Not QDesktopServices: it answers true as soon as xdg-open has started, even
// when xdg-open then finds no program.
void QtDesktop::openUrl(const QString &url, std::function<void()> failed)
{
    DesktopOpener::open(url, std::move(failed));
}

void QtDesktop::openFile(const QString &path, std::function<void()> failed)
{
    DesktopOpener::open(path, std::move(failed));
}

bool QtDesktop::startProgram(const QString &program, const QStringList &arguments)
{
    return QProcess::startDetached(program, arguments);
}

void QtDesktop::endProgram(int exitCode)
{
    // Every normal end comes here: the next start, here or on another machine
    // sharing the settings, must not find the lock.
    InstanceLock::release();
    std::fflush(stdout);
    std::fflush(stderr);
    ::_exit(exitCode);
}
