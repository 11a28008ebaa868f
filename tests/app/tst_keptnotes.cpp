#include "common/TestFixture.h"
#include "controls/MenuTable.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/RichTextBox.h"
#include "platform/SettingsStore.h"
#include "platform/TextFile.h"
#include "search/AdvancedSearch.h"
#include "search/NotesRecovery.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QtTest>
#include <csignal>

// Notes that could not be asked about when the program ended are kept in the
// user's data folder and offered at the next start.
class TestKeptNotes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    TestDesktop &desk() { return m_fx->desk(); }
    QString dataFolder() const { return m_fx->dataHome() + QStringLiteral("/Verbanox/"); }
    QStringList kept() const { return QDir(dataFolder()).entryList(QDir::Files, QDir::Name); }
    static QString textOf(const QString &path)
    {
        RichTextBox box;
        box.LoadFile(path);
        return box.Text();
    }

    // The real program, with the test driver loaded into it in the given mode.
    void start(QProcess &process, const QString &mode, const QString &report)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_fx->configHome());
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_fx->dataHome());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(VX_TEST_PLUGINS));
        env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("vxappdriver:") + mode);
        env.insert(QStringLiteral("VXDRIVER_REPORT"), report);
        process.setProcessEnvironment(env);
        process.start(m_fx->path(QStringLiteral("Verbanox")), {});
    }
    // The driver's report once it holds the text, or what it holds after 30 s.
    QString waitForReport(QProcess &process, const QString &report, const QString &text)
    {
        QElapsedTimer waited;
        waited.start();
        QString told;
        while (!told.contains(text) && process.state() != QProcess::NotRunning && waited.elapsed() < 30000) {
            process.waitForFinished(100);
            QFile file(report);
            if (file.open(QIODevice::ReadOnly))
                told = QString::fromUtf8(file.readAll());
        }
        return told;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpWindowTest();
        MsgSupport::ReloadAllMessages();
        AdvancedSearch::Register();
        NotesRecovery::Discard(); // the run's file of an earlier test, in its own folder
    }
    void cleanup() { m_fx.reset(); }

    // Only unsaved notes are kept, one file for the run, holding the latest.
    void keepsUnsavedNotesOnly()
    {
        AdvancedSearch::KeepUnsavedNotes();
        QVERIFY(kept().isEmpty());
        AdvancedSearch &window = AdvancedSearch::Instance();
        AdvancedSearch::KeepUnsavedNotes();
        QVERIFY(kept().isEmpty());
        window.RT->setSelText(QStringLiteral("first notes"));
        AdvancedSearch::KeepUnsavedNotes();
        window.RT->setSelText(QStringLiteral(" and more"));
        AdvancedSearch::KeepUnsavedNotes();
        QCOMPARE(kept(), QStringList{QStringLiteral("Unsaved notes 2024-01-01 12.00.00.rtf")});
        QCOMPARE(textOf(dataFolder() + kept().first()), QStringLiteral("first notes and more"));
    }

    void keptNotesGoOnceTheReaderDecides_data()
    {
        QTest::addColumn<QString>("decision");
        QTest::newRow("saved") << QStringLiteral("save");
        QTest::newRow("quit, saving") << QStringLiteral("quit yes");
        QTest::newRow("quit, not saving") << QStringLiteral("quit no");
        QTest::newRow("quit cancelled") << QStringLiteral("quit cancel");
    }
    // Notes kept while the session asked (and then went on) are not offered at the
    // next start once the reader saved them or chose at the end not to.
    void keptNotesGoOnceTheReaderDecides()
    {
        QFETCH(QString, decision);
        AdvancedSearch &window = AdvancedSearch::Instance();
        window.RT->setSelText(QStringLiteral("notes"));
        AdvancedSearch::KeepUnsavedNotes();
        QCOMPARE(kept().size(), 1);
        desk().fileAnswers.push_back(m_fx->path(QStringLiteral("notes.rtf")));
        if (decision == QLatin1String("save")) {
            window.Menus().action(QStringLiteral("mFileSave"))->trigger();
        } else {
            desk().messageBoxAnswers = {decision.endsWith(QLatin1String("yes"))  ? int(MsgBoxResult::Yes)
                                        : decision.endsWith(QLatin1String("no")) ? int(MsgBoxResult::No)
                                                                                 : int(MsgBoxResult::Cancel)};
            QCOMPARE(WorkspaceDocument::Get().mayEndProgram(), !decision.endsWith(QLatin1String("cancel")));
        }
        QCOMPARE(kept().isEmpty(), !decision.endsWith(QLatin1String("cancel")));
        // Kept again later, they go to a file of their own.
        window.RT->setSelText(QStringLiteral(" more"));
        AdvancedSearch::KeepUnsavedNotes();
        QCOMPARE(kept().size(), 1);
    }

    void offersKeptNotes_data()
    {
        QTest::addColumn<int>("answer");
        QTest::newRow("Yes opens them") << int(MsgBoxResult::Yes);
        QTest::newRow("No leaves them") << int(MsgBoxResult::No);
    }
    // Each kept file is offered once, oldest first, saying where it is; it keeps
    // its notes under a name that is not offered again.
    void offersKeptNotes()
    {
        QFETCH(int, answer);
        QVERIFY(QDir().mkpath(dataFolder()));
        TextFiles::writeAtomically(dataFolder() + QStringLiteral("Unsaved notes 2024-01-02 09.00.00.rtf"),
                                   "{\\rtf1 Newer notes}");
        TextFiles::writeAtomically(dataFolder() + QStringLiteral("Unsaved notes 2024-01-01 08.00.00.rtf"),
                                   "{\\rtf1 Older notes}");
        desk().messageBoxAnswers = {answer, answer};

        AdvancedSearch::OfferKeptNotes();

        const QString older = dataFolder() + QStringLiteral("Recovered notes 2024-01-01 08.00.00.rtf");
        const QString newer = dataFolder() + QStringLiteral("Recovered notes 2024-01-02 09.00.00.rtf");
        QCOMPARE(kept(), (QStringList{QFileInfo(older).fileName(), QFileInfo(newer).fileName()}));
        const QList<TestDesktop::Shown> asked = desk().messageBoxes();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text, GetMsg(0, 261, older));
        QCOMPARE(asked[1].text, GetMsg(0, 261, newer));
        QCOMPARE(asked[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question);
        AdvancedSearch *window = DefaultInstance<AdvancedSearch>::peek();
        if (answer == MsgBoxResult::Yes) {
            QVERIFY(window && window->isVisible());
            QCOMPARE(window->RT->Text(), QStringLiteral("Newer notes"));
            QCOMPARE(window->windowTitle(), newer + QStringLiteral(" - ") + MiscHelpers::ProductTitle());
        } else {
            QVERIFY(!window);
        }
        desk().shown.clear();
        AdvancedSearch::OfferKeptNotes();
        QVERIFY(desk().shown.isEmpty());
    }

    void signalKeepsTheNotesAndTheNextStartOffersThem_data()
    {
        QTest::addColumn<int>("signal"); // 0: exit(), as when the display connection is lost
        QTest::addColumn<QString>("notes");
        const QString typed = QStringLiteral("Notes typed before the end");
        QTest::newRow("SIGTERM") << int(SIGTERM) << typed;
        QTest::newRow("SIGHUP") << int(SIGHUP) << typed;
        // The notes were copied first: the RTF writing made its tables after the
        // start, and they must still be there when the notes are kept.
        QTest::newRow("exit after a copy") << 0 << typed + QString::fromUtf8(" \u00a9");
    }
    // The real program with notes typed in its workspace, ended by a signal or
    // exit(): the notes are kept, and the next start offers them and opens them.
    void signalKeepsTheNotesAndTheNextStartOffersThem()
    {
        QFETCH(int, signal);
        QFETCH(QString, notes);
        m_fx->copyBuiltFile(QStringLiteral("Verbanox"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
        SettingsStore::instance().setValue(QStringLiteral("Settings"), QStringLiteral("ShowSplash"),
                                           QStringLiteral("False"));
        SettingsStore::resetInstance();

        QProcess first;
        const QString typing = m_fx->path(QStringLiteral("typing.txt"));
        start(first, signal ? QStringLiteral("type") : QStringLiteral("exit"), typing);
        // (The error output is read once, below: QVERIFY2 reads its message even when it passes.)
        QVERIFY2(waitForReport(first, typing, QStringLiteral("typed")).contains(QStringLiteral("typed")),
                 "the program never reported its notes typed");
        if (signal)
            ::kill(pid_t(first.processId()), signal);
        // exit() may have ended it while the report was awaited.
        QVERIFY(first.state() == QProcess::NotRunning || first.waitForFinished(10000));
        const QString errors = QString::fromUtf8(first.readAllStandardError());
        QVERIFY2(first.exitStatus() == (signal ? QProcess::CrashExit : QProcess::NormalExit),
                 qPrintable(errors));
        QCOMPARE(first.exitCode(), signal ? signal : 1);
        const QStringList waiting = kept();
        QCOMPARE(waiting.size(), 1);
        QVERIFY(waiting.first().startsWith(QStringLiteral("Unsaved notes ")));
        QCOMPARE(textOf(dataFolder() + waiting.first()), notes);
        QVERIFY2(errors.contains(dataFolder() + waiting.first()), qPrintable(errors));

        QProcess second;
        const QString answering = m_fx->path(QStringLiteral("answering.txt"));
        start(second, QStringLiteral("answer"), answering);
        const QString told = waitForReport(second, answering, QStringLiteral("text: "));
        second.kill();
        second.waitForFinished(10000);
        const QString recovered = dataFolder() + QStringLiteral("Recovered notes ") +
                                  waiting.first().mid(QStringLiteral("Unsaved notes ").size());
        QVERIFY2(told.startsWith(QStringLiteral("asked: ") + GetMsg(0, 261, recovered)), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("workspace: ") + recovered), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("text: ") + notes), qPrintable(told));
        QCOMPARE(kept(), QStringList{QFileInfo(recovered).fileName()});
    }
};

QTEST_MAIN(TestKeptNotes)
#include "tst_keptnotes.moc"
