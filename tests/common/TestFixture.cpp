#include "common/TestFixture.h"

#include "core/GlobalVars.h"
#include "platform/AppInfo.h"
#include "platform/Seams.h"
#include "platform/SettingsStore.h"
#include "preferences/frmLocate.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtTest>

TestFixture::TestFixture(bool withCatalogs)
{
    QVERIFY2(m_dir.isValid(), "temporary folder");
    for (const auto &[variable, home] :
         {std::pair{"XDG_CONFIG_HOME", configHome()}, std::pair{"XDG_CACHE_HOME", cacheHome()},
          std::pair{"XDG_DATA_HOME", dataHome()}}) {
        m_oldHomes.append({variable, qEnvironmentVariableIsSet(variable) ? std::optional(qgetenv(variable))
                                                                         : std::nullopt});
        QDir().mkpath(home);
        qputenv(variable, home.toUtf8());
    }
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
    resetSeams();
    ResetGlobals();
    setDesktop(std::move(m_previousDesktop));
    AppInfo::setProgramFolder(QString());
    for (const auto &[variable, old] : m_oldHomes) {
        if (old)
            qputenv(variable, *old);
        else
            qunsetenv(variable);
    }
    SettingsStore::resetInstance();
}

void TestFixture::resetSeams()
{
    Seams::ResetAll();
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
    gSysDefsFolder = gProgramFolder + QStringLiteral("SysDefs/");
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
