#include "platform/Desktop.h"
#include "platform/DesktopOpener.h"
#include "platform/QtDesktop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QStyle>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <type_traits>

// The desktop of the running program, driven headless: each modal box is
// inspected and answered by a timer while it is open.
class tst_QtDesktop : public QObject
{
    Q_OBJECT

private slots:
    void textIsShownAsItStands();
    void buttonsDefaultAndAnswer();
    void escapeAnswersCancel();
    void openingKnowsWhenNoProgramOpens_data();
    void openingKnowsWhenNoProgramOpens();
    void printDialogNeverOffersTheSelection();
    void inputBoxShowsItsTitleWhole_data();
    void inputBoxShowsItsTitleWhole();

private:
    // Runs `inspect` on the modal window of the given kind once it is open.
    template <typename Window = QMessageBox>
    void whenBoxOpens(std::type_identity_t<std::function<void(Window *)>> inspect)
    {
        auto *timer = new QTimer(this);
        timer->setInterval(10);
        connect(timer, &QTimer::timeout, this, [timer, inspect] {
            auto *box = qobject_cast<Window *>(QApplication::activeModalWidget());
            if (!box)
                return;
            timer->stop();
            timer->deleteLater();
            inspect(box);
        });
        timer->start();
    }

    QtDesktop m_desktop;
};

void tst_QtDesktop::textIsShownAsItStands()
{
    // A message whose first line looks like markup (a file name, a text from a
    // data file) is still shown character for character, line breaks included.
    const QString text = QStringLiteral("<b>Psalm</b> 23.mp3\r\n\r\nsecond line");
    QVERIFY(Qt::mightBeRichText(text)); // shown as markup unless told otherwise
    QString shown;
    Qt::TextFormat format = Qt::AutoText;
    whenBoxOpens([&](QMessageBox *box) {
        format = box->textFormat();
        shown = box->text();
        box->button(QMessageBox::Ok)->click();
    });
    QCOMPARE(m_desktop.messageBox(text, MsgBoxStyle::Exclamation, QStringLiteral("Title")), MsgBoxResult::OK);
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(shown, text);
}

void tst_QtDesktop::buttonsDefaultAndAnswer()
{
    QString title;
    QAbstractButton *defaultButton = nullptr;
    QAbstractButton *no = nullptr;
    QAbstractButton *yes = nullptr;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    whenBoxOpens([&](QMessageBox *box) {
        title = box->windowTitle();
        icon = box->icon();
        defaultButton = box->defaultButton();
        no = box->button(QMessageBox::No);
        yes = box->button(QMessageBox::Yes);
        if (yes)
            yes->click();
        else
            box->done(0);
    });
    const int answer = m_desktop.messageBox(
        QStringLiteral("Go on?"), MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2,
        QString());
    QVERIFY(yes);
    QCOMPARE(answer, MsgBoxResult::Yes);
    QCOMPARE(title, QStringLiteral("Verbanox")); // an empty title shows the application title
    QCOMPARE(icon, QMessageBox::Question);
    QVERIFY(no);
    QCOMPARE(defaultButton, no);
}

void tst_QtDesktop::escapeAnswersCancel()
{
    whenBoxOpens([](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    QCOMPARE(m_desktop.messageBox(QStringLiteral("Save?"), MsgBoxStyle::YesNoCancel, QString()),
             MsgBoxResult::Cancel);
}

void tst_QtDesktop::openingKnowsWhenNoProgramOpens_data()
{
    QTest::addColumn<QString>("opener"); // the xdg-open on the PATH; empty: none
    QTest::addColumn<bool>("failed");
    QTest::newRow("a program opens it") << QStringLiteral("exit 0") << false;
    QTest::newRow("no program is set up") << QStringLiteral("exit 3") << true;
    QTest::newRow("the program fails") << QStringLiteral("exit 4") << true;
    QTest::newRow("no xdg-open") << QString() << true;
}

void tst_QtDesktop::openingKnowsWhenNoProgramOpens()
{
    QFETCH(QString, opener);
    QFETCH(bool, failed);
    QTemporaryDir bin;
    const QString asked = bin.filePath(QStringLiteral("asked"));
    if (!opener.isEmpty()) {
        QFile script(bin.filePath(QStringLiteral("xdg-open")));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(
            QStringLiteral("#!/bin/sh\nprintf '%s' \"$1\" > '%1'\n%2\n").arg(asked, opener).toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(bin.path()));
    const QString target = QStringLiteral("/m/MP3/Gen 1.mp3");
    int failures = 0;
    m_desktop.openFile(target, [&failures] { ++failures; });
    qputenv("PATH", path);
    // Told only once open() has returned, from the event loop.
    QCOMPARE(failures, 0);
    QTRY_VERIFY(qApp->findChildren<DesktopOpener *>().isEmpty());
    QTRY_COMPARE(failures, failed ? 1 : 0);
    QTest::qWait(50);
    QCOMPARE(failures, failed ? 1 : 0);
    if (!opener.isEmpty()) {
        QFile given(asked);
        QVERIFY(given.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(given.readAll()), target);
    }
}

void tst_QtDesktop::inputBoxShowsItsTitleWhole_data()
{
    QTest::addColumn<QString>("prompt");
    QTest::addColumn<QString>("title");
    QTest::addColumn<bool>("accept");
    QTest::newRow("find prompt, answered")
        << QStringLiteral("Enter Text to find") << QStringLiteral("Verbanox Search") << true;
    QTest::newRow("find prompt, cancelled")
        << QStringLiteral("Enter Text to find") << QStringLiteral("Verbanox Search") << false;
    QTest::newRow("title far longer than the prompt")
        << QStringLiteral("Name") << QStringLiteral("Short name of the book in the interface language")
        << true;
}

// The frame cuts a title that does not fit beside its icon and its buttons:
// the box is at least that wide, whatever its prompt needs.
void tst_QtDesktop::inputBoxShowsItsTitleWhole()
{
    QFETCH(QString, prompt);
    QFETCH(QString, title);
    QFETCH(bool, accept);
    int width = 0;
    QString shownTitle;
    QString shownPrompt;
    whenBoxOpens<QInputDialog>([&](QInputDialog *box) {
        width = box->width();
        shownTitle = box->windowTitle();
        shownPrompt = box->labelText();
        box->setTextValue(QStringLiteral("shepherd"));
        if (accept)
            box->accept();
        else
            box->reject();
    });
    const std::optional<QString> answer = m_desktop.inputBox(prompt, title, QStringLiteral("typed"));
    QCOMPARE(answer, accept ? std::optional<QString>(QStringLiteral("shepherd")) : std::nullopt);
    QCOMPARE(shownTitle, title);
    QCOMPARE(shownPrompt, prompt);
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    font.setBold(true);
    // Beside the title: the frame's icon and three buttons, and room on both sides.
    const int titleBar = QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight);
    QVERIFY2(width >= QFontMetrics(font).horizontalAdvance(title) + 6 * titleBar,
             qPrintable(QString::number(width)));
}

// A selection is never printed on its own: the dialog neither offers nor
// preselects it, whatever range the printer had before.
void tst_QtDesktop::printDialogNeverOffersTheSelection()
{
    QPrinter printer;
    printer.setPrintRange(QPrinter::Selection);
    bool selectionOffered = true;
    QAbstractPrintDialog::PrintRange shownRange = QAbstractPrintDialog::Selection;
    whenBoxOpens<QPrintDialog>([&](QPrintDialog *dialog) {
        selectionOffered = dialog->testOption(QAbstractPrintDialog::PrintSelection);
        shownRange = dialog->printRange();
        dialog->reject();
    });
    QVERIFY(!m_desktop.printDialog(printer, PrintDialogOptions{QStringLiteral("Print"), 3}));
    QVERIFY(!selectionOffered);
    QCOMPARE(shownRange, QAbstractPrintDialog::AllPages);
}

QTEST_MAIN(tst_QtDesktop)
#include "tst_qtdesktop.moc"
