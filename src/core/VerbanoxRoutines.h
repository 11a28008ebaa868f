#pragma once

#include <QString>

// Program-level routines of the core.
namespace VerbanoxRoutines {
// Reads "Translations.txt" into the four module lists. A missing file ends the
// program; no usable Bible shows the no-Bible dialog.
void LoadTranslationsList();
// The checksum report of a module file against the cached value in SysDefs.
QString CheckModuleCrc(const QString &folder, const QString &fileName);
} // namespace VerbanoxRoutines
