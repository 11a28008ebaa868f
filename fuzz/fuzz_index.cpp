// A module's chapter index (".INDEX") beside a sound module: the index is
// checked against the module, and the books it lists are read.
#include "FuzzCase.h"
#include "common/ModuleBuilder.h"
#include "core/GlobalVars.h"
#include "core/IndexStamp.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    ModuleBuilder module;
    module.chapter(1, 1, 3).chapter(1, 2, 2).chapter(2, 1, 2).chapter(19, 1, 2);
    input.fixture().addBible(QStringLiteral("Fuzz"), QStringLiteral("b_fuzz.txt"), module.bytes());
    // Stamped as built from this module, so that the records are read, not rebuilt.
    const IndexStamp stamp = IndexStamp::OfFile(gBibleFolder + QStringLiteral("b_fuzz.txt"));
    input.write(QStringLiteral("Index/b_fuzz.txt.INDEX"), stamp.Line().toLatin1() + "\r\n" + input.bytes());
    FuzzCase::refused([] {
        const auto bible = GetTranslation(gBibles.Count() - 1);
        const VerseReader reader(*bible);
        for (const int book : {1, 2, 19, 72})
            reader.Book(book);
        reader.Chapter(1, 2);
        reader.Books(1, 72);
    });
    return 0;
}
