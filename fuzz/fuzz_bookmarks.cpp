// The bookmark list "Bookmarks.txt", read and written back.
#include "FuzzCase.h"
#include "core/BookmarkRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    input.write(QStringLiteral("Bookmarks.txt"));
    BookmarkRecords &records = BookmarkRecords::Instance();
    FuzzCase::refused([&records] {
        BookmarkRecords::LoadBookmarks();
        for (const BookmarkRecord &row : records.Rows())
            BookmarkRecords::DocumentPath(row.fileName);
        records.Sort(0, false);
        records.Save();
    });
    records.Clear();
    return 0;
}
