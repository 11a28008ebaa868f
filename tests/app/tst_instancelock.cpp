#include "common/DrivenProgram.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/CoreHooks.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "platform/InstanceLock.h"

#include <QDir>
#include <QLockFile>
#include <QSysInfo>
#include <QtTest>
#include <csignal>
#include <optional>
#include <unistd.h>

// One running copy of the program per settings folder, and a lock that never
// outlives the copy that took it.
class TestInstanceLock : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;

    QString settingsFolder() const { return m_fx->configHome() + QStringLiteral("/Verbanox/"); }
    QString lockFile() const { return InstanceLock::lockFilePath(settingsFolder()); }
    // Every lock file of the settings folder, wherever it may be.
    QStringList locksLeft() const
    {
        QStringList left;
        for (const QString &place :
             QStringList{lockFile()} + InstanceLock::fallbackLockFiles(settingsFolder()))
            if (QFileInfo::exists(place))
                left.append(place);
        return left;
    }
    // A lock as a copy on another machine leaves it.
    void writeForeignLock(const QByteArray &host, const QByteArray &machineId)
    {
        m_fx->writeFile(QStringLiteral("../config/Verbanox/Verbanox.lock"),
                        "4242\nVerbanox\n" + host + '\n' + machineId + "\nboot\n");
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->setUpFolders();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        MsgSupport::ReloadAllMessages();
        CoreHooks::SetNoBiblesDialog([] {});
    }
    void cleanup() { m_fx.reset(); }

    void normalEndGivesTheLockUp_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("withBible");
        QTest::addColumn<QString>("seen");
        QTest::newRow("File > Exit") << QStringLiteral("quit") << true << QStringLiteral("shown");
        QTest::newRow("closing the main window")
            << QStringLiteral("close") << true << QStringLiteral("shown");
        QTest::newRow("no Bible, Exit") << QStringLiteral("nobible") << false << QStringLiteral("no bible");
    }
    // The real program ended as a reader ends it: no lock is left for the next
    // start, here or on a machine that shares the settings. (A signal: see
    // readOnlySettingsFolderStillAllowsOneCopy.)
    void normalEndGivesTheLockUp()
    {
        QFETCH(QString, mode);
        QFETCH(bool, withBible);
        QFETCH(QString, seen);
        DrivenProgram::prepare(*m_fx, withBible);
        DrivenProgram program(*m_fx, mode);
        QVERIFY2(program.waitFor(seen).contains(seen), qPrintable(program.report()));
        QVERIFY(program.ends());
        QCOMPARE(program.process().exitCode(), 0);
        QCOMPARE(locksLeft(), QStringList());
    }

    void lockOfAnotherMachine_data()
    {
        QTest::addColumn<QByteArray>("host");
        QTest::addColumn<QByteArray>("machineId");
        QTest::addColumn<QString>("machine"); // as the question names it
        QTest::addColumn<int>("answer");
        const QByteArray here = QSysInfo::machineHostName().toUtf8();
        QTest::newRow("other host, Yes")
            << QByteArray("study-pc") << QByteArray("0123") << "study-pc" << int(MsgBoxResult::Yes);
        QTest::newRow("other host, No")
            << QByteArray("study-pc") << QByteArray("0123") << "study-pc" << int(MsgBoxResult::No);
        // A backup restored on another machine of the same name.
        QTest::newRow("same name, other machine id, Yes")
            << here << QByteArray("0123") << QString::fromUtf8(here) + " (0123)" << int(MsgBoxResult::Yes);
        QTest::newRow("other host, no machine id, No")
            << QByteArray("study-pc") << QByteArray() << "study-pc" << int(MsgBoxResult::No);
    }
    // A lock whose owner cannot be checked from here asks, naming the machine and
    // the lock file: Yes starts and takes the lock, No leaves without changing anything.
    void lockOfAnotherMachine()
    {
        QFETCH(QByteArray, host);
        QFETCH(QByteArray, machineId);
        QFETCH(QString, machine);
        QFETCH(int, answer);
        writeForeignLock(host, machineId);
        const QByteArray lock = m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.lock"));
        const QStringList programFiles = QDir(m_fx->programFolder()).entryList(QDir::AllEntries);
        m_fx->desk().messageBoxAnswers = {answer};
        if (answer == MsgBoxResult::Yes) {
            MainStartup::Main();
            QCOMPARE(InstanceLock::heldLockFile(), lockFile());
            QVERIFY(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.lock"))
                        .startsWith(QByteArray::number(QCoreApplication::applicationPid()) + '\n'));
            QVERIFY(QFileInfo::exists(settingsFolder() + QStringLiteral("Verbanox.ini")));
        } else {
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, MainStartup::Main());
            QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.lock")), lock);
            QCOMPARE(QDir(settingsFolder()).entryList(QDir::Files), QStringList{"Verbanox.lock"});
            QCOMPARE(QDir(m_fx->programFolder()).entryList(QDir::AllEntries), programFiles);
        }
        const QList<TestDesktop::Shown> asked = m_fx->desk().messageBoxes();
        QCOMPARE(asked.size(), 1);
        QCOMPARE(asked[0].text, GetMsg(0, 263, machine) + QStringLiteral("\r\n\r\n") + lockFile());
        QCOMPARE(asked[0].style, MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2);
    }

    // A settings folder that cannot hold the lock: the first copy locks in the
    // runtime folder, and a second copy on the same settings is turned away.
    void readOnlySettingsFolderStillAllowsOneCopy()
    {
        DrivenProgram::prepare(*m_fx);
        ReadOnlyFolder readOnly(settingsFolder());
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        DrivenProgram first(*m_fx, QStringLiteral("answer"), QStringLiteral("first"));
        QVERIFY2(first.waitFor(QStringLiteral("shown")).contains(QStringLiteral("shown")),
                 qPrintable(first.report()));
        QCOMPARE(locksLeft(), QStringList{InstanceLock::fallbackLockFiles(settingsFolder()).first()});
        QVERIFY(locksLeft().first().startsWith(m_fx->runtimeHome() + QStringLiteral("/Verbanox/")));

        DrivenProgram second(*m_fx, QStringLiteral("answer"), QStringLiteral("second"));
        QVERIFY(second.ends(30000));
        QCOMPARE(second.process().exitCode(), 0);
        const QString told = second.report();
        QVERIFY2(told.contains(QStringLiteral("asked: ") + GetMsg(0, 273, settingsFolder())),
                 qPrintable(told));
        QVERIFY2(!told.contains(QStringLiteral("shown")), qPrintable(told));

        // Ended by a signal, it leaves no lock either.
        ::kill(pid_t(first.pid()), SIGTERM);
        QVERIFY(first.ends());
        QCOMPARE(locksLeft(), QStringList());
    }

    void lockGoesToTheCacheFolder_data()
    {
        QTest::addColumn<bool>("runtimeFolder"); // $XDG_RUNTIME_DIR set, but read-only
        QTest::newRow("no runtime folder") << false;
        QTest::newRow("runtime folder read-only") << true;
    }
    // Neither the settings folder nor a runtime folder can hold the lock: it
    // goes to the cache folder, and goes from there at the end.
    void lockGoesToTheCacheFolder()
    {
        QFETCH(bool, runtimeFolder);
        if (!runtimeFolder)
            qunsetenv("XDG_RUNTIME_DIR");
        QVERIFY(QDir().mkpath(settingsFolder()));
        ReadOnlyFolder settings(settingsFolder());
        std::optional<ReadOnlyFolder> runtime;
        if (runtimeFolder)
            runtime.emplace(m_fx->runtimeHome());
        if (!settings.active() || (runtime && !runtime->active()))
            QSKIP("This system cannot make a folder read-only for this user");

        QCOMPARE(InstanceLock::acquire(settingsFolder()), InstanceLock::Result::Taken);
        QVERIFY2(InstanceLock::heldLockFile().startsWith(m_fx->cacheHome() + QStringLiteral("/Verbanox/")),
                 qPrintable(InstanceLock::heldLockFile()));
        QCOMPARE(locksLeft(), QStringList{InstanceLock::heldLockFile()});
        InstanceLock::release();
        QCOMPARE(locksLeft(), QStringList());
    }

    void staleLockInAReadOnlySettingsFolder_data()
    {
        QTest::addColumn<QByteArray>("lock"); // %pid: this process; %other: its parent, another program
        QTest::addColumn<bool>("running");    // whether the start says "already running"
        QTest::newRow("this program, this boot") << QByteArray("%pid\n%name\n%host\n%id\n%boot\n") << true;
        QTest::newRow("this program, lock of an older writer") << QByteArray("%pid\n%name\n%host\n") << true;
        QTest::newRow("another program's process")
            << QByteArray("%other\n%name\n%host\n%id\n%boot\n") << false;
        QTest::newRow("an earlier boot")
            << QByteArray("%pid\n%name\n%host\n%id\n00000000-0000-0000-0000-000000000000\n") << false;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("cut short") << QByteArray("%pid\n%name") << false;
    }
    // A lock that cannot be removed from a settings folder now read-only keeps
    // out a second copy only while this program runs under it on this boot;
    // any other goes on to the next place, as a folder that cannot hold the
    // lock does. The stale lock is left as it was.
    void staleLockInAReadOnlySettingsFolder()
    {
        QFETCH(QByteArray, lock);
        QFETCH(bool, running);
        lock.replace("%pid", QByteArray::number(QCoreApplication::applicationPid()))
            .replace("%other", QByteArray::number(::getppid()))
            .replace("%name", QFileInfo(QCoreApplication::applicationFilePath()).fileName().toUtf8())
            .replace("%host", QSysInfo::machineHostName().toUtf8())
            .replace("%id", QSysInfo::machineUniqueId())
            .replace("%boot", QSysInfo::bootUniqueId());
        m_fx->writeFile(QStringLiteral("../config/Verbanox/Verbanox.lock"), lock);
        ReadOnlyFolder readOnly(settingsFolder());
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        if (running) {
            QVERIFY_THROWS_EXCEPTION(ProgramEnded, MainStartup::Main());
            QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 273, settingsFolder()));
        } else {
            MainStartup::Main();
            QCOMPARE(InstanceLock::heldLockFile(), InstanceLock::fallbackLockFiles(settingsFolder()).first());
        }
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.lock")), lock);
    }

    // A copy that locked in the runtime folder while the settings folder could
    // not hold the lock keeps out a copy started once it can.
    void lockInTheRuntimeFolderKeepsOutACopyOnTheSettingsFolder()
    {
        const QString fallback = InstanceLock::fallbackLockFiles(settingsFolder()).first();
        QVERIFY(QDir().mkpath(QFileInfo(fallback).absolutePath()));
        QLockFile firstCopy(fallback);
        QVERIFY(firstCopy.tryLock(0));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, MainStartup::Main());
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 273, settingsFolder()));
        QVERIFY(!QFileInfo::exists(lockFile()));
        QVERIFY(!QFileInfo::exists(settingsFolder() + QStringLiteral("Verbanox.ini")));
        // A lock left there by a copy that is gone keeps nobody out.
        firstCopy.unlock();
        m_fx->writeFile(QStringLiteral("../runtime/Verbanox/") + QFileInfo(fallback).fileName(),
                        "999999\nVerbanox\n" + QSysInfo::machineHostName().toUtf8() + '\n' +
                            QSysInfo::machineUniqueId() + "\n");
        MainStartup::Main();
        QCOMPARE(InstanceLock::heldLockFile(), lockFile());
        QVERIFY(!QFileInfo::exists(fallback));
    }
};

QTEST_MAIN(TestInstanceLock)
#include "tst_instancelock.moc"
