// A Bible module's lines: its index is built from them and every verse read, and
// the term search over its raw lines finds what it finds over the decoded verses.
#include "FuzzCase.h"
#include "core/GlobalVars.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"
#include "search/TermSearch.h"

#include <cstdlib>

namespace {
void searchBothWays(const Translation &bible)
{
    const VerseReader reader(bible);
    const TermSearch::VerseSource raw = [&](RawLineVisitor &visitor) {
        return reader.ForEachLineInModule(visitor);
    };
    const TermSearch::VerseSource decoded = [&](const VerseReader::Visitor &visit) {
        return reader.ForEachInModule(visit);
    };
    const SearchRequest requests[] = {
        {QStringLiteral("LORD"), SearchMode::AllTerms, true, 72},
        {QStringLiteral("\u00E9*s*1:"), SearchMode::AnyTerm, true, 72},
        {QStringLiteral("*[a-e]?\u0131*"), SearchMode::Pattern, false, 72},
        {QStringLiteral("'"), SearchMode::AnyTerm, false, 67},
    };
    for (const SearchRequest &request : requests) {
        const TermSearch search(request, [](int book) { return QStringLiteral("B%1").arg(book); });
        if (search.Run(raw).text != search.Run(decoded).text)
            std::abort();
    }
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    for (const int codePage : {0, 65001}) {
        input.fixture().addBible(QStringLiteral("Fuzz"), QStringLiteral("b_fuzz%1.txt").arg(codePage),
                                 input.bytes(), true, codePage);
        FuzzCase::refused([] {
            const auto bible = GetTranslation(gBibles.Count() - 1);
            qint64 verses = 0;
            VerseReader(*bible).ForEachInModule([&verses](const Verse &) { return ++verses < 100000; });
            VerseReader(*bible).Chapter(1, 1);
            VerseReader(*bible).Books(1, 72);
            searchBothWays(*bible);
        });
    }
    return 0;
}
