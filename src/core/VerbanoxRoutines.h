#pragma once

#include <QString>
#include <QStringList>

// Program-level routines of the core.
namespace VerbanoxRoutines {
// Reads "Translations.txt" into the four module lists. A missing file ends the
// program; no usable Bible shows the no-Bible dialog.
void LoadTranslationsList();

// What the module list makes of a module folder, by the rule start-up follows:
// a Bible is found when a Bible record of the list names a file that the
// folder's "Bible/" holds.
struct BibleSearch
{
    QString listPath;
    QStringList unreadable; // what could not be read of the list, one entry a record
    int bibleRecords = 0;   // the Bible records that could be read
    int biblesFound = 0;    // those whose file the folder holds

    // The list itself keeps every folder from holding a Bible: it is damaged, or
    // it names no Bible at all.
    bool ListAtFault() const { return !unreadable.isEmpty() || bibleRecords == 0; }
};
BibleSearch FindBibles(const QString &moduleFolder);
// The checksum report of a module file against the cached value in SysDefs.
QString CheckModuleCrc(const QString &folder, const QString &fileName);
} // namespace VerbanoxRoutines
