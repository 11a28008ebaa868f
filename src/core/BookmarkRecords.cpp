#include "core/BookmarkRecords.h"
#include "core/GlobalVars.h"

#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

BookmarkRecords &BookmarkRecords::Instance()
{
    static BookmarkRecords records;
    return records;
}

void BookmarkRecords::LoadBookmarks()
{
    if (gBookmarksLoaded)
        return;
    BookmarkRecords &records = Instance();
    // A reading that failed before left its rows; start over so that no row
    // is listed twice.
    records.Clear();
    try {
        RecordReader reader = RecordReader::fromFile(gProgramFolder + QStringLiteral("Bookmarks.txt"));
        while (!reader.atEnd()) {
            const QStringList fields = reader.readRecord();
            if (fields.size() != 5)
                return;
            records.Append({fields[0], fields[1], fields[2], fields[3], fields[4]});
        }
        gBookmarksLoaded = true;
    } catch (const RuntimeError &) {
    }
}
