#pragma once

#include <QString>

// What the platform tells a program about itself.
namespace AppInfo {
// The application title; also the name under which settings are stored.
QString title();
// The folder of the executable, ending with "/". Tests may point it elsewhere.
QString programFolder();
void setProgramFolder(const QString &folder);
// The user's own folders for this program, each ending with "/": settings in
// $XDG_CONFIG_HOME/<title>/, files that can be made again in $XDG_CACHE_HOME/<title>/
// and the user's data in $XDG_DATA_HOME/<title>/ (default ~/.config, ~/.cache and
// ~/.local/share; a variable that is not an absolute path counts as unset).
QString configFolder();
QString cacheFolder();
QString dataFolder();
int versionMajor();
int versionMinor();
int versionRevision();
} // namespace AppInfo
