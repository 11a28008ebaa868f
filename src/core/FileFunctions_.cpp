#include "FileFunctions_.h"
#include "FileNames.h"
#include "RuntimeError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace FileFunctions_ {

bool FileExists(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(FileNames::resolve(path));
    return info.exists() && !info.isDir();
}

void DeleteFileIfExists(const QString &path)
{
    if (FileExists(path))
        QFile::remove(FileNames::resolve(path));
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
                   QStringLiteral("Cannot create the folder ") + folder);
}

} // namespace FileFunctions_
