// The book categories "Categories.txt" and their names "Categories_<LANGUAGE>.txt"
// (the two parts of the input).
#include "FuzzCase.h"
#include "core/BookCategories.h"
#include "core/GlobalVars.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QList<QByteArray> files = input.parts(2);
    input.write(QStringLiteral("SysDefs/Categories.txt"), files[0]);
    input.write(QStringLiteral("SysDefs/Categories_") + gLanguage + QStringLiteral(".txt"), files[1]);
    FuzzCase::refused([] {
        const BookCategories categories;
        for (int i = 0; i < categories.CountOfCategories(); ++i) {
            categories.LongNameOfCategory(i);
            categories.IndentOfCategory(i);
            categories.IsBookInCategory(i, 1);
        }
    });
    return 0;
}
