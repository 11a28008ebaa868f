#pragma once

#include <QString>

// File and folder tests.
namespace FileFunctions_ {
// A file name with "*" or "?" (the folder part without) asks for any matching file,
// names compared without regard to case; DeleteFileIfExists then deletes them all.
bool FileExists(const QString &path);
void DeleteFileIfExists(const QString &path);
bool FolderExists(const QString &path);
// Creates the folder (and missing parents) when it does not exist; a trailing "/"
// is ignored. Throws RuntimeError 75, naming the folder and the system's reason,
// when the folder cannot be created.
void MakeFolder(const QString &path);
// Why no file can be made in a folder that is there, in the system's words
// ("Read-only file system", "Permission denied"); empty when one can, and for a
// folder that is missing, which the write itself then reports.
QString FolderWriteFault(const QString &folder);
} // namespace FileFunctions_
