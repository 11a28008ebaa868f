// Loaded into the real program by the tests (QT_QPA_GENERIC_PLUGINS=vxappdriver:<mode>),
// it does what a reader would, through the program's own windows, and writes what it
// saw to the file named by VXDRIVER_REPORT. Every message box is reported ("asked: "
// and its text) and answered Yes, or OK where it has no Yes; the main window's
// first showing is reported as "shown". The modes:
//   type    opens the search and notes workspace and types notes into it, then reports "typed";
//   busy    types so too, then reports "busy" and keeps the window thread from its event
//           loop for two seconds, as a program busy with a long task;
//   exit    types so too, copies the notes (as RTF) and ends the program with exit(), as
//           the window system's connection does when it is lost;
//   answer  reports the workspace's caption and text once it shows a document;
//   ask     leaves the first message box open;
//   quit    chooses File > Exit once the main window shows;
//   close   closes the main window once it shows;
//   nobible clicks Exit in the dialog that says no Bible is installed;
//   hang    reports "hanging" once the main window shows and then never returns to
//           the event loop, as a window thread that hangs.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QPointer>
#include <QTextEdit>
#include <QThread>
#include <QTimer>
#include <QtTest>
#include <cstdlib>
#include <unistd.h>

namespace {
QWidget *shownWindow(const char *name)
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && widget->objectName() == QLatin1String(name))
            return widget;
    return nullptr;
}

QMessageBox *shownQuestion()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *box = qobject_cast<QMessageBox *>(widget); box && box->isVisible())
            return box;
    return nullptr;
}

void report(const QString &text)
{
    QFile file(qEnvironmentVariable("VXDRIVER_REPORT"));
    if (file.open(QIODevice::Append))
        file.write(text.toUtf8() + '\n');
}

class AppDriver : public QObject
{
public:
    explicit AppDriver(const QString &mode)
        : m_mode(mode)
    {
        connect(&m_poll, &QTimer::timeout, this, &AppDriver::step);
        m_poll.start(100);
    }

private:
    bool is(const char *mode) const { return m_mode == QLatin1String(mode); }

    void step()
    {
        if (QMessageBox *box = shownQuestion()) {
            answer(box);
            return;
        }
        if (is("nobible")) {
            leaveNoBibles();
            return;
        }
        QWidget *main = shownWindow("MainMenu");
        if (!main)
            return;
        if (!m_shown) {
            m_shown = true;
            report(QStringLiteral("shown"));
            if (is("quit"))
                main->findChild<QAction *>(QStringLiteral("mFileExit"))->trigger();
            else if (is("close"))
                main->close();
            else if (is("hang"))
                hang();
            return;
        }
        if (is("type") || is("exit") || is("busy"))
            typeNotes(main);
        else if (is("answer"))
            lookAtWorkspace();
    }

    void answer(QMessageBox *box)
    {
        if (box == m_answered)
            return; // answered, and not closed yet
        m_answered = box;
        report(QStringLiteral("asked: ") + box->text());
        if (is("ask")) {
            m_poll.stop();
            return;
        }
        QAbstractButton *button = box->button(QMessageBox::Yes);
        if (!button)
            button = box->button(QMessageBox::Ok);
        // Clicked once the box's own loop runs again.
        if (button)
            QTimer::singleShot(0, button, &QAbstractButton::click);
    }

    void leaveNoBibles()
    {
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible() || !widget->inherits("NoBibles"))
                continue;
            for (QAbstractButton *button : widget->findChildren<QAbstractButton *>()) {
                if (button->text() != QLatin1String("E&xit"))
                    continue;
                m_poll.stop();
                report(QStringLiteral("no bible"));
                QTimer::singleShot(0, button, &QAbstractButton::click);
                return;
            }
        }
    }

    [[noreturn]] void hang()
    {
        report(QStringLiteral("hanging"));
        for (;;)
            ::pause();
    }

    void typeNotes(QWidget *main)
    {
        QWidget *workspace = shownWindow("AdvancedSearch");
        if (!workspace) {
            if (QAction *open = main->findChild<QAction *>(QStringLiteral("mWindowAdvancedSearch")))
                open->trigger();
            return;
        }
        auto *pane = workspace->findChild<QTextEdit *>(QStringLiteral("RT"));
        if (!pane)
            return;
        m_poll.stop();
        QTest::keyClicks(pane, QStringLiteral("Notes typed before the end"));
        if (is("exit")) {
            // A copy writes RTF before the end does: what the writing keeps for
            // itself is first made after the program started.
            QTest::keyClicks(pane, QString::fromUtf8(" \u00a9"));
            QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
            report(QStringLiteral("typed"));
            std::exit(1);
        }
        report(QStringLiteral("typed"));
        if (is("busy")) {
            report(QStringLiteral("busy"));
            QThread::msleep(2000);
        }
    }

    void lookAtWorkspace()
    {
        QWidget *workspace = shownWindow("AdvancedSearch");
        auto *pane = workspace ? workspace->findChild<QTextEdit *>(QStringLiteral("RT")) : nullptr;
        if (!pane || pane->toPlainText().isEmpty())
            return;
        m_poll.stop();
        report(QStringLiteral("workspace: ") + workspace->windowTitle());
        report(QStringLiteral("text: ") + pane->toPlainText());
    }

    QString m_mode;
    QTimer m_poll;
    QPointer<QMessageBox> m_answered;
    bool m_shown = false;
};
} // namespace

class AppDriverPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "appdriver.json")

public:
    QObject *create(const QString &, const QString &mode) override { return new AppDriver(mode); }
};

#include "AppDriver.moc"
