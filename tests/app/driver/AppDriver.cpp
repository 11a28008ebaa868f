// Loaded into the real program by the tests (QT_QPA_GENERIC_PLUGINS=vxappdriver:<mode>),
// it does what a reader would, through the program's own windows, and writes what it
// saw to the file named by VXDRIVER_REPORT:
//   type    opens the search and notes workspace and types notes into it, then reports "typed";
//   exit    types so too, copies the notes (as RTF) and ends the program with exit(), as
//           the window system's connection does when it is lost;
//   answer  reports the text of the first question shown, answers Yes, and then the
//           workspace's caption and text once it shows a document.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QMessageBox>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>
#include <cstdlib>

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
    void step()
    {
        if (m_mode == QLatin1String("type") || m_mode == QLatin1String("exit"))
            typeNotes();
        else
            answerAndLook();
    }

    void typeNotes()
    {
        QWidget *main = shownWindow("MainMenu");
        if (!main)
            return;
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
        if (m_mode == QLatin1String("exit")) {
            // A copy writes RTF before the end does: what the writing keeps for
            // itself is first made after the program started.
            QTest::keyClicks(pane, QString::fromUtf8(" \u00a9"));
            QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(pane, Qt::Key_C, Qt::ControlModifier);
            report(QStringLiteral("typed"));
            std::exit(1);
        }
        report(QStringLiteral("typed"));
    }

    void answerAndLook()
    {
        if (!m_answered) {
            QMessageBox *question = shownQuestion();
            if (!question)
                return;
            report(QStringLiteral("asked: ") + question->text());
            m_answered = true;
            // Clicked once the question's own loop runs again.
            QTimer::singleShot(0, question->button(QMessageBox::Yes), &QAbstractButton::click);
            return;
        }
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
    bool m_answered = false;
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
