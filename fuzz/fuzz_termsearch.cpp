// A search text (the first line of the input) in each mode, over verses made of
// the other lines.
#include "search/TermSearch.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    QStringList lines = text.split(QLatin1Char('\n'));
    const QString searchText = lines.takeFirst();
    std::vector<Verse> verses;
    for (qsizetype i = 0; i < lines.size() && i < 200; ++i)
        verses.push_back(
            Verse{qint32(i + 1), qint32(1 + i % 72), qint32(1 + i / 72), qint32(i + 1), lines[i]});
    const TermSearch::VerseSource source = [&verses](const VerseReader::Visitor &visit) {
        for (const Verse &verse : verses)
            if (!visit(verse))
                return false;
        return true;
    };
    const auto abbreviation = [](int book) { return QStringLiteral("B%1").arg(book); };
    for (const SearchMode mode : {SearchMode::Pattern, SearchMode::AllTerms, SearchMode::AnyTerm}) {
        const TermSearch search({searchText, mode, mode != SearchMode::AllTerms, 72}, abbreviation);
        if (search.Problem() == SearchProblem::None)
            search.Run(source);
    }
    return 0;
}
