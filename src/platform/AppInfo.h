#pragma once

#include <QString>

// What the platform tells a program about itself.
namespace AppInfo {
// The application title; also the name under which settings are stored.
QString title();
// The folder of the executable, ending with "/". Tests may point it elsewhere.
QString programFolder();
void setProgramFolder(const QString &folder);
int versionMajor();
int versionMinor();
int versionRevision();
} // namespace AppInfo
