#include "core/FileFunctions_.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <unistd.h>

namespace {
// A path whose file name holds "*" or "?" names every file that matches it, as a
// directory search does; the folder part is taken as it stands.
bool isPattern(const QString &path, QString *folder, QString *pattern)
{
    const QString normal = FileNames::normalize(path);
    const qsizetype slash = normal.lastIndexOf(QLatin1Char('/'));
    const QString name = normal.mid(slash + 1);
    if (!name.contains(QLatin1Char('*')) && !name.contains(QLatin1Char('?')))
        return false;
    *folder = slash < 0 ? QStringLiteral("./") : normal.left(slash + 1);
    *pattern = name;
    return true;
}
} // namespace

namespace FileFunctions_ {

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(FileNames::resolve(path));
    if (info.exists())
        return !info.isDir();
    QString folder, pattern;
    return isPattern(path, &folder, &pattern) && !FileNames::listFiles(folder, pattern).isEmpty();
}

void DeleteFileIfExists(const QString &path)
{
    if (!FileExists(path))
        return;
    const QString resolved = FileNames::resolve(path);
    QString folder, pattern;
    if (QFileInfo(resolved).isFile() || !isPattern(path, &folder, &pattern)) {
        QFile::remove(resolved);
        return;
    }
    const QString dir = FileNames::resolve(folder);
    for (const QString &name : FileNames::listFiles(folder, pattern))
        QFile::remove(QDir(dir).filePath(name));
}

bool FolderExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(FileNames::resolve(path));
    return info.exists() && info.isDir();
}

void MakeFolder(const QString &path)
{
    QString folder = FileNames::normalize(path);
    if (folder.endsWith(QLatin1Char('/')) && folder.size() > 1)
        folder.chop(1);
    if (FolderExists(folder))
        return;
    if (!QDir().mkpath(folder))
        raiseError(RtErr::PathFileAccessError, QStringLiteral("Verbanox.FileFunctions_"),
                   QStringLiteral("Cannot create the folder %1: %2").arg(folder, qt_error_string(errno)));
}

QString FolderWriteFault(const QString &folder)
{
    if (::access(QFile::encodeName(FileNames::normalize(folder)).constData(), W_OK | X_OK) == 0 ||
        errno == ENOENT || errno == ENOTDIR)
        return QString();
    return qt_error_string(errno);
}

} // namespace FileFunctions_
