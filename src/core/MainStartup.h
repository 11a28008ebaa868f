#pragma once

#include <QString>

// The program's start: prepares the program-wide state, checks for a first run of
// a new version and loads the installed modules.
namespace MainStartup {
// Returns when start-up is complete (the main window, once shown, runs the program).
void Main();
// Creates the program's folders when this version runs for the first time.
void CheckNewVersion();
// Makes the help service show gHelpFile and report a file it cannot open with
// the catalog's message.
void SetUpHelp();
// The running version as the text of its three numbers ("2115" for 2.1.15).
QString RevisionText();
} // namespace MainStartup
