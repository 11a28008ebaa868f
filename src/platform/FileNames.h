#pragma once

#include <QString>
#include <QStringList>

// File names as the program expects them from a file system that ignores case.
namespace FileNames {
// The existing path that matches the given one when case is ignored, component by
// component (the exact name wins when it exists). When nothing matches, the path
// is returned unchanged.
QString resolve(const QString &path);
bool existsIgnoringCase(const QString &path);
// Names of the files in a folder that match a wildcard pattern ("*" and "?"),
// ignoring case, sorted.
QStringList listFiles(const QString &folder, const QString &pattern);
// A name of a file in a folder, nothing more: not empty or ".", and without
// "/", "\", ".." or NUL, so that a name read from a file reaches no other folder.
bool isPlainFileName(const QString &name);
// "/" separators; with ensureTrailingSlash a folder path ends with "/".
QString normalize(const QString &path, bool ensureTrailingSlash = false);
} // namespace FileNames
