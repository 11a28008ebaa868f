#include "common/TestFixture.h"

#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/Registry_.h"
#include "mainwindow/Splash.h"
#include "platform/AppInfo.h"
#include "platform/Seams.h"
#include "platform/SettingsStore.h"
#include "preferences/LanguageE.h"
#include "preferences/frmLocate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QListWidget>
#include <QtTest>

TestFixture::TestFixture(bool withCatalogs)
{
    QVERIFY2(m_dir.isValid(), "temporary folder");
    for (const auto &[variable, home] :
         {std::pair{"XDG_CONFIG_HOME", configHome()}, std::pair{"XDG_CACHE_HOME", cacheHome()},
          std::pair{"XDG_DATA_HOME", dataHome()}, std::pair{"XDG_RUNTIME_DIR", runtimeHome()},
          std::pair{"TMPDIR", tempHome()}}) {
        m_oldHomes.append({variable, qEnvironmentVariableIsSet(variable) ? std::optional(qgetenv(variable))
                                                                         : std::nullopt});
        QDir().mkpath(home);
        qputenv(variable, home.toUtf8());
    }
    // As the session's runtime folder is: the user's alone.
    QFile::setPermissions(runtimeHome(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    SettingsStore::resetInstance();
    ResetGlobals();
    AppInfo::setProgramFolder(programFolder());
    auto owned = std::make_unique<TestDesktop>();
    m_desktop = owned.get();
    m_previousDesktop = setDesktop(std::move(owned));
    // The windows the program reaches through the opener registry at start.
    frmLocate::Register();
    if (withCatalogs)
        copyShippedData(QStringLiteral("msg"));
}

TestFixture::~TestFixture()
{
    Seams::ResetAll();
    ResetGlobals();
    setDesktop(std::move(m_previousDesktop));
    for (const auto &[variable, old] : m_oldHomes) {
        if (old)
            qputenv(variable, *old);
        else
            qunsetenv(variable);
    }
    SettingsStore::resetInstance();
}

QString TestFixture::programFolder() const
{
    return m_dir.path() + QStringLiteral("/prog/");
}

QString TestFixture::path(const QString &relative) const
{
    return programFolder() + relative;
}

QString TestFixture::configHome() const
{
    return m_dir.path() + QStringLiteral("/config");
}

QString TestFixture::cacheHome() const
{
    return m_dir.path() + QStringLiteral("/cache");
}

QString TestFixture::dataHome() const
{
    return m_dir.path() + QStringLiteral("/data");
}

QString TestFixture::runtimeHome() const
{
    return m_dir.path() + QStringLiteral("/runtime");
}

QString TestFixture::tempHome() const
{
    return m_dir.path() + QStringLiteral("/tmp");
}

SettingsStore &TestFixture::settings()
{
    return SettingsStore::instance();
}

QString TestFixture::sourceDir()
{
    return QStringLiteral(VX_SOURCE_DIR);
}

void TestFixture::setUpFolders()
{
    gProgramFolder = programFolder();
    gMsgFolder = gProgramFolder + QStringLiteral("msg/");
    gIndexFolder = gProgramFolder + QStringLiteral("Index/");
    gScratchFolder = gProgramFolder + QStringLiteral("Scratch/");
    gUserDataFolder = gProgramFolder;
    gSysDefsFolder = gProgramFolder + QStringLiteral("SysDefs/");
    gChecksumFolder = gSysDefsFolder;
    gModuleFolder = Folders::DefaultModuleFolder(gProgramFolder);
    gBibleFolder = gModuleFolder + QStringLiteral("Bible/");
    gCommentaryFolder = gModuleFolder + QStringLiteral("Commentary/");
    gDictionaryFolder = gModuleFolder + QStringLiteral("Dictionary/");
    gNameFolder = gModuleFolder + QStringLiteral("Name/");
    gSNotesFolder = gModuleFolder + QStringLiteral("SNotes/");
    gMapsFolder = gModuleFolder + QStringLiteral("Maps/");
    for (const QString &folder :
         {gMsgFolder, gIndexFolder, gScratchFolder, gSysDefsFolder, gBibleFolder, gCommentaryFolder,
          gDictionaryFolder, gNameFolder, gSNotesFolder, gMapsFolder})
        QDir().mkpath(folder);
}

void TestFixture::setUpWindowTest()
{
    setUpFolders();
    copyShippedData(QStringLiteral("SysDefs"));
    copyBuiltFile(QStringLiteral("libVxHelpers.so"));
    Registry_::Initialize(QStringLiteral("Settings"));
    gNotifier = new GlobalNotifier();
    gShowSplash = false;
    Splash::setShowModal([] {});
}

void TestFixture::copyShippedData(const QString &relativeFolder)
{
    const QString from = sourceDir() + QStringLiteral("/data/") + relativeFolder;
    QDirIterator it(from, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = path(relativeFolder + file.mid(from.size()));
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::remove(target);
        QFile::copy(file, target);
        QFile(target).setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    }
}

void TestFixture::writeFile(const QString &relative, const QByteArray &bytes)
{
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    QVERIFY2(file.open(QIODevice::WriteOnly | QIODevice::Truncate), qPrintable(target));
    file.write(bytes);
}

void TestFixture::addBible(const QString &displayName, const QString &fileName, const QByteArray &bytes,
                           bool enabled, qint32 codePage)
{
    writeFile(QStringLiteral("Modules/Bible/") + fileName, bytes);
    gBibles.Add(displayName, fileName, enabled, codePage);
}

QByteArray TestFixture::readFile(const QString &relative) const
{
    QFile file(path(relative));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

QString TestFixture::builtFile(const QString &relative)
{
    const QString file = QStringLiteral(VX_PROGRAM_DIR "/") + relative;
    if (!QFileInfo::exists(file))
        QTest::qFail(qPrintable(file + QStringLiteral(" has not been built; build the target that makes it")),
                     __FILE__, __LINE__);
    return file;
}

QString TestFixture::copyBuiltFile(const QString &relative)
{
    const QString source = builtFile(relative);
    const QString target = path(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile::remove(target);
    if (QFileInfo::exists(source) && !QFile::copy(source, target))
        QTest::qFail(qPrintable(source + QStringLiteral(" could not be copied to ") + target), __FILE__,
                     __LINE__);
    return target;
}

void TestFixture::switchInterfaceLanguage(const QString &language)
{
    LanguageE editor;
    editor.LSel->setCurrentItem(editor.LSel->findItems(language, Qt::MatchExactly).value(0));
    editor.LSel_Click();
    editor.cDefault_Click();
    QCOMPARE(gLanguage, language);
    desk().shown.clear();
}
