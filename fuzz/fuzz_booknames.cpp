// The book names "Books.txt".
#include "FuzzCase.h"
#include "core/BibleBookNames.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    input.write(QStringLiteral("SysDefs/Books.txt"));
    FuzzCase::refused([] {
        const BibleBookNames names;
        QString all;
        for (qint16 book = 1; book <= BibleBookNames::BookCount; ++book)
            all += names.FullName(book) + names.Abbreviation(book);
    });
    return 0;
}
