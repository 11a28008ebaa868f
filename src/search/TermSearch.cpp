#include "search/TermSearch.h"
#include "search/BookRange.h"
#include "search/RawLineScan.h"
#include "search/SearchText.h"

#include <QElapsedTimer>
#include <algorithm>

TermSearch::TermSearch(const SearchRequest &request, const Abbreviation &abbreviation)
    : m_request(request)
    , m_terms(SearchText::ParseSearchStrings(request.text))
{
    if (m_terms.size() > SearchText::MaxTerms) {
        m_problem = SearchProblem::TooManyTerms;
        return;
    }
    for (qsizetype k = 0; k < m_terms.size() && k < DecidingTerms; ++k)
        m_foldedTerms.append(SearchText::Fold(m_terms[k], request.ignoreCase));
    if (request.mode == SearchMode::Pattern) {
        m_pattern.emplace(request.text, request.ignoreCase);
        if (!m_pattern->IsValid())
            m_problem = SearchProblem::InvalidPattern;
    }
    for (int book = 1; book < int(m_abbreviations.size()); ++book) {
        m_abbreviations[size_t(book)] = abbreviation(book).toUpper();
        m_foldedAbbreviations[size_t(book)] =
            SearchText::Fold(m_abbreviations[size_t(book)], request.ignoreCase);
    }
}

namespace {
// Writes the number in decimal and returns the end.
QChar *writeNumber(QChar *to, qint32 number)
{
    // Through 64 bits, so that the smallest number has a sign and digits too.
    qint64 value = number;
    if (value < 0) {
        *to++ = QLatin1Char('-');
        value = -value;
    }
    char16_t digits[12];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count > 0)
        *to++ = QChar(digits[--count]);
    return to;
}

// The folded line prefix + text, in the scratch string out.
void foldLine(QStringView prefix, QStringView text, bool ignoreCase, QString &out)
{
    out.resize(prefix.size() + text.size());
    const char16_t *fold = SearchText::FoldTable(ignoreCase);
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    for (const QStringView part : {prefix, text}) {
        const char16_t *from = part.utf16();
        for (qsizetype i = 0; i < part.size(); ++i)
            *to++ = fold[from[i]];
    }
}
} // namespace

QString TermSearch::ReferenceLine(const Verse &verse) const
{
    QString line;
    BuildReferenceLine(verse, line);
    return line;
}

void TermSearch::BuildReferenceLine(const Verse &verse, QString &line) const
{
    BuildPrefix(verse.book, verse.chapter, verse.verse, line);
    line.append(verse.text);
}

qsizetype TermSearch::MaxReferenceLength(qint32 book) const
{
    constexpr qsizetype NumberChars = 11; // "-2147483648"
    const bool named = book >= 1 && book < int(m_abbreviations.size());
    return (named ? m_abbreviations[size_t(book)].size() : NumberChars) + 2 * NumberChars + 3;
}

QChar *TermSearch::WriteReference(qint32 book, qint32 chapter, qint32 verse, QChar *to) const
{
    if (book >= 1 && book < int(m_abbreviations.size())) {
        const QString &name = m_abbreviations[size_t(book)];
        to = std::copy(name.cbegin(), name.cend(), to);
    } else {
        to = writeNumber(to, book);
    }
    *to++ = QLatin1Char(' ');
    to = writeNumber(to, chapter);
    *to++ = QLatin1Char(':');
    to = writeNumber(to, verse);
    *to++ = QLatin1Char(' ');
    return to;
}

// The reference written into the scratch string in place, so that its buffer
// is kept from verse to verse.
void TermSearch::BuildPrefix(qint32 book, qint32 chapter, qint32 verse, QString &prefix) const
{
    prefix.resize(MaxReferenceLength(book));
    prefix.truncate(WriteReference(book, chapter, verse, prefix.data()) - prefix.constData());
}

bool TermSearch::Accepts(const Verse &verse, const QString &referenceLine) const
{
    return m_problem == SearchProblem::None && BookRange::Accepts(m_request.rangeCode, verse.book) &&
           ModeAccepts(referenceLine);
}

bool TermSearch::ModeAccepts(QStringView referenceLine) const
{
    const bool ignoreCase = m_request.ignoreCase;
    switch (m_request.mode) {
    case SearchMode::Pattern:
        SearchText::FoldInto(referenceLine, ignoreCase, m_folded);
        return m_pattern->Matches(m_folded);
    case SearchMode::AllTerms:
        for (const QString &term : m_foldedTerms) {
            if (!SearchText::ContainsFolded(referenceLine, term, ignoreCase))
                return false;
        }
        return true;
    case SearchMode::AnyTerm:
        for (const QString &term : m_foldedTerms) {
            if (SearchText::ContainsFolded(referenceLine, term, ignoreCase))
                return true;
        }
        return false;
    case SearchMode::EveryVerse:
        break;
    }
    return true;
}

// Whether the line m_prefix + text holds the term, without building the line:
// a hit that begins in the text lies in the text; the few that may begin in the
// prefix are compared across the joint.
bool TermSearch::LineContains(const QString &text, const QString &foldedTerm) const
{
    const bool ignoreCase = m_request.ignoreCase;
    if (SearchText::ContainsFolded(text, foldedTerm, ignoreCase))
        return true;
    const char16_t *fold = SearchText::FoldTable(ignoreCase);
    const char16_t *prefix = QStringView(m_prefix).utf16();
    const char16_t *rest = QStringView(text).utf16();
    const char16_t *term = QStringView(foldedTerm).utf16();
    const qsizetype prefixLength = m_prefix.size();
    const qsizetype lineLength = prefixLength + text.size();
    const qsizetype length = foldedTerm.size();
    for (qsizetype i = 0; i < prefixLength && i + length <= lineLength; ++i) {
        qsizetype k = 0;
        while (k < length) {
            const qsizetype at = i + k;
            const char16_t c = at < prefixLength ? prefix[at] : rest[at - prefixLength];
            if (fold[c] != term[k])
                break;
            ++k;
        }
        if (k == length)
            return true;
    }
    return false;
}

bool TermSearch::VerseAccepted(const QString &text) const
{
    switch (m_request.mode) {
    case SearchMode::Pattern:
        foldLine(m_prefix, text, m_request.ignoreCase, m_folded);
        return m_pattern->Matches(m_folded);
    case SearchMode::AllTerms:
        for (const QString &term : m_foldedTerms) {
            if (!LineContains(text, term))
                return false;
        }
        return true;
    case SearchMode::AnyTerm:
        for (const QString &term : m_foldedTerms) {
            if (LineContains(text, term))
                return true;
        }
        return false;
    case SearchMode::EveryVerse:
        break;
    }
    return true;
}

QStringList TermSearch::RequiredTexts() const
{
    switch (m_request.mode) {
    case SearchMode::Pattern:
        return m_pattern->Literals();
    case SearchMode::AllTerms:
    case SearchMode::AnyTerm:
        return m_foldedTerms;
    case SearchMode::EveryVerse:
        break;
    }
    return {};
}

// The reference ends with a blank: a place that begins in it and runs on into
// the verse text holds that blank. A place within the reference lies in the
// abbreviation or in chapter:verse.
bool TermSearch::MayReachIntoReference(const QString &folded) const
{
    if (folded.contains(QLatin1Char(' ')))
        return true;
    const bool numbers = std::all_of(folded.cbegin(), folded.cend(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char(':');
    });
    return numbers || std::any_of(m_foldedAbbreviations.cbegin(), m_foldedAbbreviations.cend(),
                                  [&](const QString &name) { return name.contains(folded); });
}

bool TermSearch::ReferenceMayHold(const QString &folded, qint32 book, qint32 chapter, qint32 verse) const
{
    BuildPrefix(book, chapter, verse, m_reference);
    const char16_t *fold = SearchText::FoldTable(m_request.ignoreCase);
    const char16_t *reference = QStringView(m_reference).utf16();
    const char16_t *text = QStringView(folded).utf16();
    const qsizetype size = m_reference.size();
    const qsizetype length = folded.size();
    for (qsizetype i = 0; i < size; ++i) {
        qsizetype k = 0;
        while (k < length && i + k < size && fold[reference[i + k]] == text[k])
            ++k;
        if (k == length || i + k == size)
            return true;
    }
    return false;
}

// A verse in the range: its reference line is built and kept when the mode accepts it.
void TermSearch::Take(const Verse &verse, SearchResult &result) const
{
    BuildPrefix(verse.book, verse.chapter, verse.verse, m_prefix);
    if (VerseAccepted(verse.text)) {
        result.text.append(QStringView(m_prefix)).append(verse.text).append(QLatin1Char('\n'));
        ++result.verses;
    }
}

SearchResult TermSearch::Run(const VerseSource &source, const Poll &poll) const
{
    if (m_problem != SearchProblem::None || !BookRange::IsValid(m_request.rangeCode))
        return {};
    if (source.ReadsRawLines()) {
        RawLineScan scan(*this, poll);
        source(scan);
        return scan.TakeResult();
    }
    SearchResult result;
    QElapsedTimer clock;
    clock.start();
    qint64 nextPoll = m_pollMilliseconds;
    source([&](const Verse &verse) {
        ++result.lines;
        if (poll && (result.lines & 63) == 0 && clock.elapsed() >= nextPoll) {
            if (!poll(result.lines)) {
                result.stopped = true;
                return false;
            }
            nextPoll = clock.elapsed() + m_pollMilliseconds;
        }
        if (BookRange::Accepts(m_request.rangeCode, verse.book))
            Take(verse, result);
        return true;
    });
    return result;
}
