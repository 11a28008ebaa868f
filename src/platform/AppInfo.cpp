#include "platform/AppInfo.h"
#include "platform/Seams.h"

#include <QCoreApplication>
#include <QDir>

namespace {
// Empty: the folder of the executable.
Seam<QString> &folderOverride()
{
    static Seam<QString> folder{QString()};
    return folder;
}

QString withSlash(QString folder)
{
    folder = QDir::fromNativeSeparators(folder);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

QString userFolder(const char *variable, const QString &defaultBelowHome)
{
    QString base = qEnvironmentVariable(variable);
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QLatin1Char('/') + defaultBelowHome;
    return withSlash(base) + AppInfo::title() + QLatin1Char('/');
}
} // namespace

namespace AppInfo {

QString title()
{
    return QStringLiteral("Verbanox");
}

QString programFolder()
{
    if (!folderOverride().get().isEmpty())
        return folderOverride().get();
    if (QCoreApplication::instance())
        return withSlash(QCoreApplication::applicationDirPath());
    return withSlash(QDir::currentPath());
}

void setProgramFolder(const QString &folder)
{
    folderOverride().replace(folder.isEmpty() ? QString() : withSlash(folder));
}

QString configFolder()
{
    return userFolder("XDG_CONFIG_HOME", QStringLiteral(".config"));
}

QString cacheFolder()
{
    return userFolder("XDG_CACHE_HOME", QStringLiteral(".cache"));
}

QString dataFolder()
{
    return userFolder("XDG_DATA_HOME", QStringLiteral(".local/share"));
}

int versionMajor()
{
    return VX_VERSION_MAJOR;
}
int versionMinor()
{
    return VX_VERSION_MINOR;
}
int versionRevision()
{
    return VX_VERSION_REVISION;
}

} // namespace AppInfo
