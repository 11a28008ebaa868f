// A Bible module's lines: its index is built from them and every verse read.
#include "FuzzCase.h"
#include "core/GlobalVars.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    input.fixture().addBible(QStringLiteral("Fuzz"), QStringLiteral("b_fuzz.txt"), input.bytes());
    FuzzCase::refused([] {
        const auto bible = GetTranslation(gBibles.Count() - 1);
        qint64 verses = 0;
        VerseReader(*bible).ForEachInModule([&verses](const Verse &) { return ++verses < 100000; });
        VerseReader(*bible).Chapter(1, 1);
        VerseReader(*bible).Books(1, 72);
    });
    return 0;
}
