#include "common/DrivenProgram.h"
#include "common/FileSizeLimit.h"
#include "common/ReadOnlyFolder.h"
#include "common/TestFixture.h"
#include "core/BookmarkRecords.h"
#include "core/CoreHooks.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "core/MsgSupport.h"
#include "core/Translation.h"
#include "core/VerbanoxRoutines.h"
#include "platform/AppInfo.h"
#include "platform/InstanceLock.h"
#include "platform/SettingsStore.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QLockFile>
#include <QProcess>
#include <QtTest>
#include <optional>

namespace {
const QStringList TenFolders = {
    QStringLiteral("Index"),
    QStringLiteral("Scratch"),
    QStringLiteral("SysDefs"),
    QStringLiteral("Modules"),
    QStringLiteral("Modules/Bible"),
    QStringLiteral("Modules/Commentary"),
    QStringLiteral("Modules/Dictionary"),
    QStringLiteral("Modules/Maps"),
    QStringLiteral("Modules/Name"),
    QStringLiteral("Modules/SNotes"),
};

QString setting(const QString &section, const QString &key)
{
    return SettingsStore::instance().value(section, key, QStringLiteral("<absent>"));
}

using ReadGlobal = std::function<QVariant()>;

// Every file below a folder, with its size.
QStringList allFiles(const QString &folder)
{
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        files.append(it.filePath() + QLatin1Char(' ') + QString::number(it.fileInfo().size()));
    }
    files.sort();
    return files;
}
} // namespace

Q_DECLARE_METATYPE(ReadGlobal)

// A row for a global read from a setting: the global, its key, a stored text
// other than the default and the default.
#define SETTING_ROW(global, key, other, expected)                                                            \
    QTest::newRow(#global) << ReadGlobal([] { return QVariant::fromValue(global); }) << QStringLiteral(key)  \
                           << QStringLiteral(other) << QVariant::fromValue(expected)

class TestStartup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestFixture> m_fx;
    int m_noBibleDialogs = 0;

    void store(const QString &key, const QString &value, const QString &section = QStringLiteral("Settings"))
    {
        SettingsStore::instance().setValue(section, key, value);
    }

    // Starts the real program and lets it run until its main window has shown the
    // first book (its chapter index exists again), then ends it: the program itself
    // runs until the reader closes its window. False when that never happened.
    bool runProgramUntilABookIsShown()
    {
        const QString index = m_fx->path(QStringLiteral("Index/b_kjv.txt.INDEX"));
        QFile::remove(index);
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_fx->configHome());
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.start(m_fx->path(QStringLiteral("Verbanox")), {});
        bool shown = false;
        QElapsedTimer waited;
        waited.start();
        while (!shown && process.state() != QProcess::NotRunning && waited.elapsed() < 30000) {
            process.waitForFinished(50);
            shown = QFile::exists(index);
        }
        process.kill();
        process.waitForFinished(5000);
        SettingsStore::resetInstance();
        return shown;
    }

private Q_SLOTS:
    void init()
    {
        m_fx = std::make_unique<TestFixture>();
        m_fx->copyShippedData(QStringLiteral("SysDefs"));
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
        m_noBibleDialogs = 0;
        CoreHooks::SetNoBiblesDialog([this] { ++m_noBibleDialogs; });
    }
    void cleanup() { m_fx.reset(); }

    void realProgramFirstAndSecondStart()
    {
        m_fx->copyBuiltFile(QStringLiteral("Verbanox"));
        m_fx->copyBuiltFile(QStringLiteral("libVxHelpers.so"));
        const QString program = QDir(m_fx->programFolder()).canonicalPath() + QLatin1Char('/');
        // Without the splash the main window comes up at once (the splash waits 10 s).
        store(QStringLiteral("ShowSplash"), QStringLiteral("False"));

        QVERIFY(runProgramUntilABookIsShown());
        QCOMPARE(setting(QStringLiteral("Settings"), QStringLiteral("L")), QStringLiteral("ENGLISH_"));
        QCOMPARE(setting(QStringLiteral("Module_Path"), QStringLiteral("ModulePath")),
                 program + QStringLiteral("Modules/"));
        QCOMPARE(setting(QStringLiteral("Module_Path"), QStringLiteral("VerbanoxPath")), program);
        QCOMPARE(setting(QStringLiteral("Settings"), QStringLiteral("Revision")),
                 MainStartup::RevisionText());
        for (const QString &folder : TenFolders)
            QVERIFY2(QFileInfo(m_fx->path(folder)).isDir(), qPrintable(folder));

        // The same version again creates no folder, even one deleted in between.
        QVERIFY(QDir(m_fx->path(QStringLiteral("Scratch"))).removeRecursively());
        // The copy that was killed left its lock; the next start takes it over.
        QVERIFY(
            QFileInfo::exists(InstanceLock::lockFilePath(m_fx->configHome() + QStringLiteral("/Verbanox/"))));
        QVERIFY(runProgramUntilABookIsShown());
        QVERIFY(!QFileInfo::exists(m_fx->path(QStringLiteral("Scratch"))));
    }

    void firstStartInProcess()
    {
        MainStartup::Main();
        QCOMPARE(gProgramFolder, m_fx->programFolder());
        QCOMPARE(gModuleFolder, m_fx->programFolder() + QStringLiteral("Modules/"));
        QCOMPARE(gBibleFolder, gModuleFolder + QStringLiteral("Bible/"));
        QCOMPARE(gMsgFolder, m_fx->programFolder() + QStringLiteral("msg/"));
        QCOMPARE(gFavVersesFile, QStringLiteral("ENGLISH_FavVerses.txt"));
        QVERIFY(gNotifier);
        QCOMPARE(gBibles.Count(), 1); // the shipped list names two Bibles; one file is present
        QCOMPARE(gBibles.FileNames(0), QStringLiteral("b_kjv.txt"));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }

    void defaultsAreTheSameEverywhere_data()
    {
        QTest::addColumn<ReadGlobal>("global");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("other");
        QTest::addColumn<QVariant>("expected");
        SETTING_ROW(gMaxCountSize, "MAXCountSize", "900", qint32(500));
        SETTING_ROW(gBib1TC, "Bib1TC", "123", 0u);
        SETTING_ROW(gBib1BC, "Bib1BC", "123", 0xF0F0F0u);
        SETTING_ROW(gBib1H1, "Bib1H1", "123", 255u);
        SETTING_ROW(gBib1H2, "Bib1H2", "123", 0xFF0000u);
        SETTING_ROW(gBib1H3, "Bib1H3", "123", 0xA2B500u);
        SETTING_ROW(gBib1H4, "Bib1H4", "123", 44532u);
        SETTING_ROW(gBib1H5, "Bib1H5", "123", 0xFF7A7Au);
        SETTING_ROW(gBib2TC, "Bib2TC", "123", 0u);
        SETTING_ROW(gBib2BC, "Bib2BC", "123", 0xDCDCDCu);
        SETTING_ROW(gBib1Fontsize, "Bib1Fontsize", "14", quint8(12));
        SETTING_ROW(gBib2Fontsize, "Bib2Fontsize", "14", quint8(12));
        SETTING_ROW(gDefaultFont, "DEFAULTFONT", "Liberation Serif", QStringLiteral("Times New Roman"));
        SETTING_ROW(gDeleteTempFilesOnExit, "DeleteTempFilesOnExit", "0", true);
        SETTING_ROW(gActiveUpdateBib1, "ActiveUpdateBib1", "-1", false);
        SETTING_ROW(gShowSplash, "ShowSplash", "0", true);
        SETTING_ROW(gShowMsgNumbers, "ShowMsgNumbers", "True", false);
        SETTING_ROW(gLanguage, "L", "GERMAN_", QStringLiteral("ENGLISH"));
        SETTING_ROW(gDateFormat, "DF", "yyyy-MM-dd", QStringLiteral("dd-MMM-yyyy"));
        SETTING_ROW(gCM_IN, "CM_IN", "-1", false);
        SETTING_ROW(gFitToDesktop, "FitToDesktop", "0", true);
        SETTING_ROW(gApplyToAllForms, "ApplyToAllForms", "-1", false);
        SETTING_ROW(gWidthPage, "WidthPage", "8.5", 0.0f);
        SETTING_ROW(gMarginLeft, "MarginLeft", "1", 0.0f);
        SETTING_ROW(gMarginRight, "MarginRight", "1", 0.0f);
        SETTING_ROW(gTopMargin, "gTopMargin", "1", 0.0f);
        SETTING_ROW(gBottomMargin, "gBottomMargin", "1", 0.0f);
    }
    // The defaults of the definitions, of ResetGlobals and of start-up with the
    // key missing are one and the same.
    void defaultsAreTheSameEverywhere()
    {
        QFETCH(ReadGlobal, global);
        QFETCH(QString, key);
        QFETCH(QString, other);
        QFETCH(QVariant, expected);
        QCOMPARE(global(), expected);
        MainStartup::Main();
        QCOMPARE(global(), expected);

        store(key, other);
        MainStartup::Main();
        QVERIFY(global() != expected);
        ResetGlobals();
        QCOMPARE(global(), expected);
    }

    void languageWithOrWithoutUnderscore_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::newRow("with") << QStringLiteral("GERMAN_");
        QTest::newRow("without") << QStringLiteral("GERMAN");
    }
    void languageWithOrWithoutUnderscore()
    {
        QFETCH(QString, stored);
        store(QStringLiteral("L"), stored);
        MainStartup::Main();
        QCOMPARE(gLanguage, QStringLiteral("GERMAN"));
        QCOMPARE(gFavVersesFile, QStringLiteral("GERMAN_FavVerses.txt"));
        QCOMPARE(setting(QStringLiteral("Settings"), QStringLiteral("L")), stored); // not rewritten
    }

    void dateFormatAndModuleFolderKept()
    {
        store(QStringLiteral("DF"), QStringLiteral("yyyy-MM-dd"));
        store(QStringLiteral("ModulePath"), m_fx->path(QStringLiteral("Elsewhere/Mods")),
              QStringLiteral("Module_Path"));
        m_fx->writeFile(QStringLiteral("Elsewhere/Mods/Bible/b_web_utf8.txt"), "1\t1\t1\t1\tx\r\n");
        MainStartup::Main();
        QCOMPARE(gBibles.Count(), 1);
        QCOMPARE(gBibles.DisplayName(0), QStringLiteral("World English Bible"));
        QCOMPARE(gDateFormat, QStringLiteral("yyyy-MM-dd"));
        QCOMPARE(gModuleFolder, m_fx->path(QStringLiteral("Elsewhere/Mods/")));
        QCOMPARE(gSNotesFolder, m_fx->path(QStringLiteral("Elsewhere/Mods/SNotes/")));
        QCOMPARE(gIndexFolder, m_fx->path(QStringLiteral("Index/")));
        QCOMPARE(gSysDefsFolder, m_fx->path(QStringLiteral("SysDefs/")));
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("Elsewhere/Mods/Maps"))).isDir());
    }

    void valuesThatDoNotConvertGiveDefaults()
    {
        store(QStringLiteral("MAXCountSize"), QStringLiteral("lots"));
        store(QStringLiteral("Bib1Fontsize"), QStringLiteral("300"));
        store(QStringLiteral("Bib2Fontsize"), QStringLiteral("14"));
        store(QStringLiteral("ShowSplash"), QStringLiteral("maybe"));
        store(QStringLiteral("ShowMsgNumbers"), QStringLiteral("-1"));
        store(QStringLiteral("DeleteTempFilesOnExit"), QStringLiteral("False"));
        store(QStringLiteral("Bib1TC"), QStringLiteral("red"));
        store(QStringLiteral("Bib2BC"), QStringLiteral("255"));
        store(QStringLiteral("WidthPage"), QStringLiteral("wide"));
        store(QStringLiteral("MarginLeft"), QStringLiteral("1.5"));
        store(QStringLiteral("CM_IN"), QStringLiteral("True"));
        MainStartup::Main();
        QCOMPARE(gMaxCountSize, 500);
        QCOMPARE(gBib1Fontsize, quint8(12));
        QCOMPARE(gBib2Fontsize, quint8(14));
        QVERIFY(gShowSplash);
        QVERIFY(gShowMsgNumbers);
        QVERIFY(!gDeleteTempFilesOnExit);
        QCOMPARE(gBib1TC, 0u);
        QCOMPARE(gBib2BC, 255u);
        QCOMPARE(gWidthPage, 0.0f);
        QCOMPARE(gMarginLeft, 1.5f);
        QVERIFY(gCM_IN);
    }

    void missingModuleListEndsTheProgram()
    {
        QFile::remove(m_fx->path(QStringLiteral("SysDefs/Translations.txt")));
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, MainStartup::Main());
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("Translations.txt File not found!")));
    }

    void foldersThatCannotBeCreated()
    {
        m_fx->writeFile(QStringLiteral("Blocked"), "a file where a folder should go");
        store(QStringLiteral("ModulePath"), m_fx->path(QStringLiteral("Blocked/")),
              QStringLiteral("Module_Path"));
        MainStartup::Main();           // goes on
        QCOMPARE(m_noBibleDialogs, 1); // the module folder could not hold a Bible
        const auto boxes = m_fx->desk().messageBoxes();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(boxes[0].text.startsWith(GetMsg(0, 276) + QStringLiteral("\r\n")));
        // Each folder with the system's reason.
        QVERIFY2(boxes[0].text.contains(m_fx->path(QStringLiteral("Blocked/Bible: "))),
                 qPrintable(boxes[0].text));
        QCOMPARE(setting(QStringLiteral("Settings"), QStringLiteral("Revision")), QStringLiteral("<absent>"));
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("Index"))).isDir());

        // Once the obstacle is gone the next start completes the folders.
        QFile::remove(m_fx->path(QStringLiteral("Blocked")));
        MainStartup::Main();
        QCOMPARE(setting(QStringLiteral("Settings"), QStringLiteral("Revision")),
                 MainStartup::RevisionText());
        QVERIFY(QFileInfo(m_fx->path(QStringLiteral("Blocked/Name"))).isDir());
    }

    // Another copy runs on the same settings: this one says so and ends before
    // it writes anything, at the first start and at a later one.
    void secondCopyEndsWithoutWriting_data()
    {
        QTest::addColumn<bool>("firstStart");
        QTest::newRow("first start") << true;
        QTest::newRow("later start") << false;
    }
    void secondCopyEndsWithoutWriting()
    {
        QFETCH(bool, firstStart);
        const QString folder = m_fx->configHome() + QStringLiteral("/Verbanox/");
        if (!firstStart) {
            MainStartup::Main();
            InstanceLock::release();
        }
        const QByteArray settings = m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini"));
        const QStringList programFiles = QDir(m_fx->programFolder()).entryList(QDir::AllEntries);
        QLockFile other(InstanceLock::lockFilePath(folder));
        QVERIFY(QDir().mkpath(folder) && other.tryLock(0));

        QVERIFY_THROWS_EXCEPTION(ProgramEnded, MainStartup::Main());
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QCOMPARE(m_fx->desk().lastMessage(), GetMsg(0, 273, folder));
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini")), settings);
        const QStringList expected =
            firstStart ? QStringList{"Verbanox.lock"} : QStringList{"Verbanox.ini", "Verbanox.lock"};
        QCOMPARE(QDir(folder).entryList(QDir::Files, QDir::Name), expected);
        QCOMPARE(QDir(m_fx->programFolder()).entryList(QDir::AllEntries), programFiles);
    }

    // A settings file whose first line is damaged keeps its settings; before start-up
    // rewrites it, the original is kept as "Verbanox.ini.bad" and the reader told once,
    // naming the copy. A file damaged again later is kept in a copy of its own.
    void damagedFirstLineOfTheSettings()
    {
        const QByteArray original =
            QByteArray(16, '\0') + "[Settings]\r\nDF=yyyy-MM-dd\r\nShowSplash=False\r\n";
        m_fx->writeFile(QStringLiteral("../config/Verbanox/Verbanox.ini"), original);
        MainStartup::Main();
        QCOMPARE(gDateFormat, QStringLiteral("yyyy-MM-dd"));
        QVERIFY(!gShowSplash);
        const QString file = m_fx->configHome() + QStringLiteral("/Verbanox/Verbanox.ini");
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        QVERIFY(m_fx->desk().lastMessage().startsWith(GetMsg(0, 274, file)));
        QVERIFY(m_fx->desk().lastMessage().contains(QStringLiteral("line 1: \\x00")));
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini.bad")), original);
        QVERIFY(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini"))
                    .startsWith("[Settings]\nDF=yyyy-MM-dd\n"));
        QVERIFY(m_fx->desk().lastMessage().endsWith(file + QStringLiteral(".bad")));
        MainStartup::Main();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);

        const QByteArray again = "[Pa ge\nWidthPage=21\n[Settings]\nShowSplash=False\n";
        m_fx->writeFile(QStringLiteral("../config/Verbanox/Verbanox.ini"), again);
        SettingsStore::resetInstance();
        MainStartup::Main();
        QCOMPARE(m_fx->desk().messageBoxes().size(), 2);
        QVERIFY(m_fx->desk().lastMessage().endsWith(file + QStringLiteral(".2.bad")));
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini.bad")), original);
        QCOMPARE(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.ini.2.bad")), again);
    }

    // A lock file that names no process (the copy crashed while it wrote it) is
    // taken over as one whose process has gone.
    void lockFileLeftEmptyIsTakenOver()
    {
        m_fx->writeFile(QStringLiteral("../config/Verbanox/Verbanox.lock"), QByteArray());
        MainStartup::Main();
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QVERIFY(m_fx->readFile(QStringLiteral("../config/Verbanox/Verbanox.lock"))
                    .startsWith(QByteArray::number(QCoreApplication::applicationPid())));
    }

    // Settings that cannot be written at the first start: the program starts
    // with the defaults and says once why the settings are not kept.
    void settingsThatCannotBeWritten_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::newRow("a file where the folder belongs") << QStringLiteral("file");
        QTest::newRow("read-only folder") << QStringLiteral("readonly");
        QTest::newRow("disk full") << QStringLiteral("full");
    }
    void settingsThatCannotBeWritten()
    {
        QFETCH(QString, obstacle);
        const QString folder = m_fx->configHome() + QStringLiteral("/Verbanox");
        std::optional<ReadOnlyFolder> readOnly;
        std::optional<FileSizeLimit> full;
        if (obstacle == QLatin1String("file")) {
            m_fx->writeFile(QStringLiteral("../config/Verbanox"), "not a folder");
        } else if (obstacle == QLatin1String("readonly")) {
            QVERIFY(QDir().mkpath(folder));
            readOnly.emplace(folder);
            if (!readOnly->active())
                QSKIP("This system cannot make a folder read-only for this user");
        } else {
            full.emplace(0);
        }
        MainStartup::Main();
        full.reset();
        QCOMPARE(gLanguage, QStringLiteral("ENGLISH"));
        QCOMPARE(gModuleFolder, m_fx->programFolder() + QStringLiteral("Modules/"));
        QCOMPARE(gBibles.Count(), 1);
        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString told = m_fx->desk().lastMessage();
        QVERIFY2(told.startsWith(GetMsg(0, 271, folder + QLatin1Char('/'))), qPrintable(told));
        QCOMPARE(SettingsStore::instance().value(QStringLiteral("Settings"), QStringLiteral("L"), QString()),
                 QStringLiteral("ENGLISH_"));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/Verbanox.ini")));
    }

    // Installed where the user cannot write: the Bibles are read, their index
    // and the scratch files go to the user's cache folder, the bookmarks to the
    // user's data folder, nothing is written beside the program, and nothing is said.
    void readOnlyProgramFolder()
    {
        const QStringList before = allFiles(m_fx->programFolder());
        ReadOnlyFolder readOnly(m_fx->programFolder());
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        MainStartup::Main();
        const QString cache = m_fx->cacheHome() + QStringLiteral("/Verbanox/");
        QCOMPARE(gIndexFolder, cache + QStringLiteral("Index/"));
        QCOMPARE(gScratchFolder, cache + QStringLiteral("Scratch/"));
        QCOMPARE(gUserDataFolder, m_fx->dataHome() + QStringLiteral("/Verbanox/"));
        QCOMPARE(BookmarkRecords::RecordFile(), gUserDataFolder + QStringLiteral("Bookmarks.txt"));

        Translation kjv;
        kjv.Initialize(0, 0);
        QVERIFY(kjv.BookContents(1, false).contains(QStringLiteral("In the beginning")));
        QVERIFY(QFileInfo::exists(gIndexFolder + QStringLiteral("b_kjv.txt.INDEX")));
        QVERIFY(QFileInfo::exists(gScratchFolder + QStringLiteral("BibTmp2_b_kjv.txt")));
        QVERIFY(QDir().mkpath(BookmarkRecords::DocumentFolder()));
        BookmarkRecords::Instance().Append({"Genesis", "", "", "", "Genesis.rtf"});
        BookmarkRecords::Instance().Save();
        QVERIFY(QFileInfo::exists(gUserDataFolder + QStringLiteral("Bookmarks.txt")));

        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QCOMPARE(allFiles(m_fx->programFolder()), before);
    }

    // Installed read-only, with a cache folder that cannot take the index and
    // scratch folders: the Bible reads, and the one message names each folder
    // with the system's reason, where the files were to go and what follows.
    void readOnlyProgramFolderAndCacheFolder()
    {
        const QString cache = m_fx->cacheHome() + QStringLiteral("/Verbanox/");
        ReadOnlyFolder readOnly(m_fx->programFolder());
        ReadOnlyFolder readOnlyCache(m_fx->cacheHome());
        if (!readOnly.active() || !readOnlyCache.active())
            QSKIP("This system cannot make a folder read-only for this user");
        MainStartup::Main();
        Translation kjv;
        kjv.Initialize(0, 0);
        QVERIFY(kjv.BookContents(1, false).contains(QStringLiteral("In the beginning")));

        QCOMPARE(m_fx->desk().messageBoxes().size(), 1);
        const QString told = m_fx->desk().lastMessage();
        const QString paragraph = QStringLiteral("\r\n\r\n");
        QVERIFY2(told.startsWith(GetMsg(0, 276) + paragraph) &&
                     told.endsWith(paragraph + GetMsg(0, 264, m_fx->programFolder()) +
                                   QStringLiteral("\r\n") + gUserDataFolder + paragraph + GetMsg(0, 259)),
                 qPrintable(told));
        for (const QString &folder : {QStringLiteral("Index: "), QStringLiteral("Scratch: ")}) {
            const QString reason = told.section(cache + folder, 1).section(QLatin1Char('\r'), 0, 0);
            QVERIFY2(ReadOnlyFolder::endsWithTheRefusal(reason), qPrintable(told));
        }
    }

    // A Bible whose module file was cut short: every start says so, once, not
    // only the start that builds its index.
    void everyStartTellsOfABibleCutShort()
    {
        DrivenProgram::prepare(*m_fx);
        const QString module =
            QDir(m_fx->programFolder()).canonicalPath() + QStringLiteral("/Modules/Bible/b_kjv.txt");
        m_fx->writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"),
                        "1\t1\t1\t1\tIn the beginning\r\n2\t1\t1\t2\tAnd the ea");
        const QString told =
            QStringLiteral("asked: ") + GetMsg(0, 255, module).section(QLatin1Char('\r'), 0, 0);
        for (const QString &start : {QStringLiteral("first"), QStringLiteral("second")}) {
            // Killed once it has told; the next start takes over the lock it leaves.
            DrivenProgram program(*m_fx, QStringLiteral("answer"), start);
            program.waitFor(QStringLiteral("shown"));
            const QString report = program.waitFor(told);
            QVERIFY2(report.contains(QStringLiteral("shown")) && report.count(told) == 1,
                     qPrintable(start + QStringLiteral(": ") + report));
        }
        QVERIFY(QFileInfo::exists(m_fx->path(QStringLiteral("Index/b_kjv.txt.INDEX"))));
    }

    // The checksums the program makes itself go to the user's cache folder of a
    // read-only install and are read back from there; one the installer put
    // beside the program is the reference. Nothing is said but the report.
    void checksumsOfAReadOnlyInstall_data()
    {
        QTest::addColumn<QByteArray>("shipped"); // SysDefs/CRC_b_kjv.txt as installed
        QTest::addColumn<QString>("first");      // how the reports begin
        QTest::addColumn<QString>("second");
        QTest::newRow("none shipped")
            << QByteArray() << QStringLiteral("Could not find CRC_b_kjv.txt") << QStringLiteral("CRC: ");
        const QString changed = QStringLiteral("The CRC has changed on file b_kjv.txt");
        QTest::newRow("shipped") << QByteArray("1,2\r\n") << changed << changed;
    }
    void checksumsOfAReadOnlyInstall()
    {
        QFETCH(QByteArray, shipped);
        QFETCH(QString, first);
        QFETCH(QString, second);
        if (!shipped.isNull())
            m_fx->writeFile(QStringLiteral("SysDefs/CRC_b_kjv.txt"), shipped);
        const QStringList before = allFiles(m_fx->programFolder());
        ReadOnlyFolder readOnly(m_fx->programFolder());
        if (!readOnly.active())
            QSKIP("This system cannot make a folder read-only for this user");
        MainStartup::Main();
        const QString kept = m_fx->cacheHome() + QStringLiteral("/Verbanox/CRC_b_kjv.txt");
        const QString report = VerbanoxRoutines::CheckModuleCrc(gBibleFolder, QStringLiteral("b_kjv.txt"));
        QVERIFY2(report.startsWith(first) && !report.contains(QStringLiteral("could not be kept")),
                 qPrintable(report));
        QCOMPARE(QFileInfo::exists(kept), shipped.isNull());
        const QString again = VerbanoxRoutines::CheckModuleCrc(gBibleFolder, QStringLiteral("b_kjv.txt"));
        QVERIFY2(again.startsWith(second), qPrintable(again));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
        QCOMPARE(allFiles(m_fx->programFolder()), before);
    }

    // The index folder deleted after the first start of this version is made
    // again when an index is built, without the report of an unexpected error.
    void indexFolderGoneAfterTheFirstStart()
    {
        MainStartup::Main();
        QVERIFY(QDir(m_fx->path(QStringLiteral("Index"))).removeRecursively());
        MainStartup::Main();
        QVERIFY(!QFileInfo::exists(m_fx->path(QStringLiteral("Index"))));
        Translation kjv;
        kjv.Initialize(0, 0);
        QVERIFY(kjv.HasIndex());
        QVERIFY(QFileInfo::exists(m_fx->path(QStringLiteral("Index/b_kjv.txt.INDEX"))));
        QVERIFY(m_fx->desk().messageBoxes().isEmpty());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
