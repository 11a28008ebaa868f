#include "common/DrivenProgram.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "controls/MenuTable.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/RichTextBox.h"
#include "platform/TextFile.h"
#include "search/AdvancedSearch.h"
#include "search/NotesRecovery.h"

#include <QDir>
#include <QThread>
#include <QtTest>
#include <cerrno>
#include <csignal>
#include <linux/capability.h>
#include <optional>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {
// The permission bits of a file or folder.
mode_t modeOf(const QString &path)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}
// A user id of somebody else (nobody's).
constexpr uid_t OtherUser = 65534;

// While it lives, a folder can be listed but not searched (mode 0600): nothing
// in it can be looked at. The administrator's right to pass over that is laid
// down for this thread meanwhile. Check active().
class UnsearchableFolder
{
public:
    explicit UnsearchableFolder(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        ::chmod(m_folder.constData(), 0600);
        passOverPermissions(false);
    }
    ~UnsearchableFolder()
    {
        passOverPermissions(true);
        ::chmod(m_folder.constData(), 0700);
    }
    UnsearchableFolder(const UnsearchableFolder &) = delete;
    UnsearchableFolder &operator=(const UnsearchableFolder &) = delete;

    bool active() const
    {
        struct stat info = {};
        return ::stat((m_folder + "/probe").constData(), &info) != 0 && errno == EACCES;
    }

private:
    static void passOverPermissions(bool pass)
    {
        __user_cap_header_struct header = {_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2] = {};
        if (::syscall(SYS_capget, &header, data) != 0)
            return;
        constexpr quint32 Rights = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective =
            pass ? data[0].effective | (data[0].permitted & Rights) : data[0].effective & ~Rights;
        ::syscall(SYS_capset, &header, data);
    }

    QByteArray m_folder;
};

// The question that offers kept notes: their file as it is named now, and the
// name the answer gives it.
QString question(const QString &waiting, const QString &offered)
{
    return GetMsg(0, 261, waiting) + QStringLiteral("\r\n\r\n") +
           (offered == waiting ? GetMsg(0, 246) : GetMsg(0, 245, offered));
}
} // namespace

// Notes that could not be asked about when the program ended are kept in the
// user's data folder (else the settings folder, else the temporary folder) and
// offered at the next start.
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

    // The real program with notes typed in its workspace, ended by a signal or,
    // signal 0, by exit(): what it said on its error output. A second signal
    // (`then`) follows the first while the program is busy, before it could
    // keep anything.
    QString typeAndEnd(int signal, int then = 0)
    {
        const QString mode = then     ? QStringLiteral("busy")
                             : signal ? QStringLiteral("type")
                                      : QStringLiteral("exit");
        DrivenProgram first(*m_fx, mode);
        const QString ready = then ? QStringLiteral("busy") : QStringLiteral("typed");
        if (!first.waitFor(ready).contains(ready))
            return QStringLiteral("FAIL: the program never reported its notes typed");
        if (signal)
            ::kill(pid_t(first.pid()), signal);
        if (then) {
            QThread::msleep(200);
            ::kill(pid_t(first.pid()), then);
        }
        // exit() may have ended it while the report was awaited.
        if (!first.ends(30000))
            return QStringLiteral("FAIL: the program did not end");
        const QString errors = QString::fromUtf8(first.process().readAllStandardError());
        const int code = first.process().exitCode();
        const bool asExpected =
            first.process().exitStatus() == (signal ? QProcess::CrashExit : QProcess::NormalExit) &&
            (signal ? code == signal || (then && code == then) : code == 1);
        return asExpected ? errors : QStringLiteral("FAIL: the program ended otherwise: ") + errors;
    }

    // The next start offers the kept notes under the name they take, and opens them.
    void nextStartOffersAndOpens(const QString &keptFile, const QString &notes)
    {
        DrivenProgram second(*m_fx, QStringLiteral("answer"), QStringLiteral("answering"));
        const QString told = second.waitFor(QStringLiteral("text: "));
        const QString recovered = NotesRecovery::OfferedName(keptFile);
        QVERIFY2(told.contains(QStringLiteral("asked: ") + question(keptFile, recovered)), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("workspace: ") + recovered), qPrintable(told));
        QVERIFY2(told.contains(QStringLiteral("text: ") + notes), qPrintable(told));
        QVERIFY(QFileInfo::exists(recovered));
        QVERIFY(!QFileInfo::exists(keptFile));
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
        const QString waitingNewer = dataFolder() + QStringLiteral("Unsaved notes 2024-01-02 09.00.00.rtf");
        const QString waitingOlder = dataFolder() + QStringLiteral("Unsaved notes 2024-01-01 08.00.00.rtf");
        TextFiles::writeAtomically(waitingNewer, "{\\rtf1 Newer notes}");
        TextFiles::writeAtomically(waitingOlder, "{\\rtf1 Older notes}");
        desk().messageBoxAnswers = {answer, answer};

        AdvancedSearch::OfferKeptNotes();

        const QString older = dataFolder() + QStringLiteral("Recovered notes 2024-01-01 08.00.00.rtf");
        const QString newer = dataFolder() + QStringLiteral("Recovered notes 2024-01-02 09.00.00.rtf");
        QCOMPARE(kept(), (QStringList{QFileInfo(older).fileName(), QFileInfo(newer).fileName()}));
        const QList<TestDesktop::Shown> asked = desk().messageBoxes();
        QCOMPARE(asked.size(), 2);
        QCOMPARE(asked[0].text, question(waitingOlder, older));
        QCOMPARE(asked[1].text, question(waitingNewer, newer));
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

    // Kept notes in a folder that cannot be written now keep their name: the
    // question names the file as it is, and the next start offers it again.
    void keptNotesInAFolderNowReadOnly()
    {
        QVERIFY(QDir().mkpath(dataFolder()));
        const QString waiting = dataFolder() + QStringLiteral("Unsaved notes 2024-01-01 08.00.00.rtf");
        TextFiles::writeAtomically(waiting, "{\\rtf1 Kept notes}");
        ReadOnlyFolder readOnly(dataFolder());
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        desk().messageBoxAnswers = {MsgBoxResult::No};
        AdvancedSearch::OfferKeptNotes();
        QCOMPARE(desk().lastMessage(), question(waiting, waiting));
        QCOMPARE(NotesRecovery::Waiting(), QStringList{waiting});
    }

    void signalKeepsTheNotesAndTheNextStartOffersThem_data()
    {
        QTest::addColumn<int>("signal"); // 0: exit(), as when the display connection is lost
        QTest::addColumn<int>("then");   // sent right after it; 0: none
        QTest::addColumn<QString>("notes");
        const QString typed = QStringLiteral("Notes typed before the end");
        QTest::newRow("SIGTERM") << int(SIGTERM) << 0 << typed;
        // The end of a desktop session sends SIGHUP right after SIGTERM: it does
        // not end the program before the notes are kept.
        QTest::newRow("SIGTERM, then SIGHUP") << int(SIGTERM) << int(SIGHUP) << typed;
        // The notes were copied first: the RTF writing made its tables after the
        // start, and they must still be there when the notes are kept.
        QTest::newRow("exit after a copy") << 0 << 0 << typed + QString::fromUtf8(" \u00a9");
    }
    // The real program with notes typed in its workspace, ended by a signal or
    // exit(): the notes are kept, and the next start offers them and opens them.
    void signalKeepsTheNotesAndTheNextStartOffersThem()
    {
        QFETCH(int, signal);
        QFETCH(int, then);
        QFETCH(QString, notes);
        DrivenProgram::prepare(*m_fx);
        const QString errors = typeAndEnd(signal, then);
        QVERIFY2(!errors.startsWith(QLatin1String("FAIL")), qPrintable(errors));
        const QStringList waiting = kept();
        QCOMPARE(waiting.size(), 1);
        QVERIFY(waiting.first().startsWith(QStringLiteral("Unsaved notes ")));
        QCOMPARE(textOf(dataFolder() + waiting.first()), notes);
        QVERIFY2(errors.contains(dataFolder() + waiting.first()), qPrintable(errors));
        nextStartOffersAndOpens(dataFolder() + waiting.first(), notes);
        QCOMPARE(kept(), QStringList{QStringLiteral("Recovered notes ") +
                                     waiting.first().mid(QStringLiteral("Unsaved notes ").size())});
    }

    void notesKeptWhereTheDataFolderCannotTakeThem_data()
    {
        QTest::addColumn<bool>("toTemporary"); // the settings folder is read-only too
        QTest::addColumn<QString>("found");    // what stands at the temporary folder's name
        QTest::addColumn<QString>("refusal");  // empty: the notes are kept
        QTest::newRow("data folder read-only") << false << QString() << QString();
        QTest::newRow("settings folder read-only too") << true << QString() << QString();
        QTest::newRow("left-over temporary folder 0755") << true << QStringLiteral("0755") << QString();
        QTest::newRow("link to an own folder 0755")
            << true << QStringLiteral("link")
            << QStringLiteral("it is a symbolic link, not a folder of the user's own");
        QTest::newRow("another user's folder")
            << true << QStringLiteral("other user")
            << QStringLiteral("the folder belongs to another user (user id %1)").arg(OtherUser);
    }
    // The data folder read-only: the notes go to the next place that takes them,
    // readable by the user alone, and the next start offers them from there. The
    // temporary folder must be a folder of the user's own, not a link, and is made
    // theirs alone; a refusal names the real reason, and nothing there is offered.
    void notesKeptWhereTheDataFolderCannotTakeThem()
    {
        QFETCH(bool, toTemporary);
        QFETCH(QString, found);
        QFETCH(QString, refusal);
        const QString config = m_fx->configHome() + QStringLiteral("/Verbanox/");
        const QString temporary = m_fx->tempHome() + QStringLiteral("/Verbanox-%1").arg(::getuid());
        const QString folder = toTemporary ? temporary + QLatin1Char('/') : config;
        const QString elsewhere = m_fx->path(QStringLiteral("readable by all"));
        const QString planted = QStringLiteral("Unsaved notes 2020-01-01 08.00.00.rtf");
        const bool otherUser = found == QLatin1String("other user");
        if (found == QLatin1String("link")) {
            QVERIFY(QDir().mkpath(elsewhere) && ::chmod(QFile::encodeName(elsewhere), 0755) == 0);
            TextFiles::writeAtomically(elsewhere + QLatin1Char('/') + planted, "{\\rtf1 Not the reader's}");
            QVERIFY(QFile::link(elsewhere, temporary));
        } else if (!found.isEmpty()) {
            QVERIFY(QDir().mkpath(temporary));
            QVERIFY(::chmod(QFile::encodeName(temporary), otherUser ? 0700 : found.toUInt(nullptr, 8)) == 0);
            if (otherUser && ::chown(QFile::encodeName(temporary), OtherUser, OtherUser) != 0)
                QSKIP("Only the administrator can give a folder to another user");
        }
        QVERIFY(QDir().mkpath(dataFolder()) && QDir().mkpath(config));
        AdvancedSearch::Instance().RT->setSelText(QStringLiteral("Notes typed before the end"));
        ReadOnlyFolder lockedData(dataFolder());
        std::optional<ReadOnlyFolder> lockedConfig;
        if (toTemporary)
            lockedConfig.emplace(config);
        if (!lockedData.active() || (lockedConfig && !lockedConfig->active()))
            QSKIP("This system cannot make a folder read-only for this user");

        const std::optional<RuntimeError> error =
            raisedError([] { NotesRecovery::Keep(*AdvancedSearch::Instance().RT->document()); });
        const QString told = error ? error->description() : QString();
        if (!refusal.isEmpty()) {
            QVERIFY2(told.contains(temporary + QStringLiteral("/: ") + refusal), qPrintable(told));
            QCOMPARE(NotesRecovery::Waiting(), QStringList());
            QCOMPARE(QDir(elsewhere).entryList(QDir::Files),
                     found == QLatin1String("link") ? QStringList{planted} : QStringList());
            return;
        }
        QVERIFY2(!error, qPrintable(told));
        const QString waiting = folder + QStringLiteral("Unsaved notes 2024-01-01 12.00.00.rtf");
        QCOMPARE(NotesRecovery::Waiting(), QStringList{waiting});
        QCOMPARE(textOf(waiting), QStringLiteral("Notes typed before the end"));
        QCOMPARE(modeOf(waiting), mode_t(0600));
        if (toTemporary)
            QCOMPARE(modeOf(temporary), mode_t(0700));
        desk().messageBoxAnswers = {MsgBoxResult::No};
        AdvancedSearch::OfferKeptNotes();
        const QString recovered = folder + QStringLiteral("Recovered notes 2024-01-01 12.00.00.rtf");
        QCOMPARE(desk().lastMessage(), question(waiting, recovered));
        QVERIFY(QFileInfo::exists(recovered));
    }

    // A data folder that can be listed but not searched tells of no name that
    // it is free: it is given up for the settings folder.
    void notesKeptPastADataFolderThatCannotBeSearched()
    {
        const QString config = m_fx->configHome() + QStringLiteral("/Verbanox/");
        QVERIFY(QDir().mkpath(dataFolder()) && QDir().mkpath(config));
        AdvancedSearch::Instance().RT->setSelText(QStringLiteral("Notes typed before the end"));
        QString path;
        {
            const UnsearchableFolder unsearchable(dataFolder());
            if (!unsearchable.active())
                QSKIP("This system cannot keep this user from searching a folder");
            path = NotesRecovery::Keep(*AdvancedSearch::Instance().RT->document());
        }
        QCOMPARE(path, config + QStringLiteral("Unsaved notes 2024-01-01 12.00.00.rtf"));
        QCOMPARE(textOf(path), QStringLiteral("Notes typed before the end"));
        QVERIFY(kept().isEmpty());
    }

    // A signal while the program asks about kept notes ends it before the reader
    // answered: the notes are offered again at the next start.
    void signalWhileOfferingKeepsTheOffer()
    {
        DrivenProgram::prepare(*m_fx);
        QVERIFY(QDir().mkpath(dataFolder()));
        const QString waiting = dataFolder() + QStringLiteral("Unsaved notes 2024-01-01 08.00.00.rtf");
        TextFiles::writeAtomically(waiting, "{\\rtf1 Kept notes}");
        {
            DrivenProgram asking(*m_fx, QStringLiteral("ask"));
            const QString told = asking.waitFor(QStringLiteral("asked: "));
            QVERIFY2(told.contains(QStringLiteral("asked: ") +
                                   question(waiting, NotesRecovery::OfferedName(waiting))),
                     qPrintable(told));
            ::kill(pid_t(asking.pid()), SIGTERM);
            QVERIFY(asking.ends());
            QCOMPARE(asking.process().exitCode(), int(SIGTERM));
        }
        QCOMPARE(kept(), QStringList{QFileInfo(waiting).fileName()});
        nextStartOffersAndOpens(waiting, QStringLiteral("Kept notes"));
    }

    void secondSignalEndsAStuckProgram_data()
    {
        QTest::addColumn<int>("signal");
        QTest::newRow("Ctrl+C") << int(SIGINT);
        QTest::newRow("SIGTERM") << int(SIGTERM);
        QTest::newRow("SIGHUP") << int(SIGHUP);
    }
    // A program whose window thread hangs cannot keep anything at the first
    // signal; the second one ends it as the signal's default does.
    void secondSignalEndsAStuckProgram()
    {
        QFETCH(int, signal);
        DrivenProgram::prepare(*m_fx);
        DrivenProgram stuck(*m_fx, QStringLiteral("hang"));
        QVERIFY2(stuck.waitFor(QStringLiteral("hanging")).contains(QStringLiteral("hanging")),
                 qPrintable(stuck.report()));
        ::kill(pid_t(stuck.pid()), signal);
        QVERIFY(!stuck.ends(1000)); // nothing could run its keeping
        ::kill(pid_t(stuck.pid()), signal);
        QVERIFY(stuck.ends(5000));
        QCOMPARE(stuck.process().exitStatus(), QProcess::CrashExit);
        QCOMPARE(stuck.process().exitCode(), signal);
    }

    // Started with SIGHUP ignored (nohup), the program outlives its terminal,
    // and SIGTERM still keeps the notes.
    void hangUpIgnoredAtTheStartStaysIgnored()
    {
        DrivenProgram::prepare(*m_fx);
        DrivenProgram program(*m_fx, QStringLiteral("type"), QStringLiteral("report"),
                              [] { ::signal(SIGHUP, SIG_IGN); });
        QVERIFY2(program.waitFor(QStringLiteral("typed")).contains(QStringLiteral("typed")),
                 qPrintable(program.report()));
        ::kill(pid_t(program.pid()), SIGHUP);
        QVERIFY(!program.ends(1500));
        ::kill(pid_t(program.pid()), SIGTERM);
        QVERIFY(program.ends(30000));
        QCOMPARE(program.process().exitCode(), int(SIGTERM));
        QCOMPARE(kept().size(), 1);
    }
};

QTEST_MAIN(TestKeptNotes)
#include "tst_keptnotes.moc"
