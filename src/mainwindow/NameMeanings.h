#pragma once

#include <QString>

// The name look-up of a selected word, shared by the reading pane of the main
// window and the document of the search workspace: the first listed names
// dictionary is read once, and a name found in it shows its meaning.
namespace NameMeanings {
// Forgets the names read, so that the next look-up reads the dictionary again.
void Reset();
// Reads the first listed names dictionary when no names are held yet; errors
// reach the caller.
void EnsureLoaded();
// Shows the meaning of the name (compared without regard to case) when the
// names folder holds a dictionary and the name has a meaning there; errors
// reach the caller.
void Show(const QString &name);
} // namespace NameMeanings
