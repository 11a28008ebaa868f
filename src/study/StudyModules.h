#pragma once

#include <QString>

class FileNameMap;

// Where the study windows find the files of the dictionary lists, and by which
// code page each file is read.
namespace StudyModules {
// The entry's code page; 0 is the system's, and a file name with "_utf8" is UTF-8.
int CodePageOf(const FileNameMap &list, int i);
QString DictionaryPath(int i);
QString NameDictionaryPath(int i);
} // namespace StudyModules
