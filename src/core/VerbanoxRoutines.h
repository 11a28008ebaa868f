#pragma once

// Program-level routines of the core.
namespace VerbanoxRoutines {
// The last-resort recovery: tells the user, deletes the "Settings" section,
// recreates the program's folders and ends the program.
[[noreturn]] void RecoverSettingsAndEnd();
} // namespace VerbanoxRoutines
