#include "search/TermSearch.h"
#include "search/BookRange.h"
#include "search/SearchText.h"

#include <QElapsedTimer>

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
    for (int book = 1; book < int(m_abbreviations.size()); ++book)
        m_abbreviations[size_t(book)] = abbreviation(book).toUpper();
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
    BuildPrefix(verse, line);
    line.append(verse.text);
}

// The reference line up to the verse text, "GEN 1:1 ", written into the scratch
// string in place so that its buffer is kept from verse to verse.
void TermSearch::BuildPrefix(const Verse &verse, QString &prefix) const
{
    const bool named = verse.book >= 1 && verse.book < int(m_abbreviations.size());
    const QString &name = named ? m_abbreviations[size_t(verse.book)] : QString();
    constexpr qsizetype NumberChars = 11; // "-2147483648"
    prefix.resize(name.size() + 3 * NumberChars + 3);
    QChar *to = prefix.data();
    if (named) {
        std::copy(name.cbegin(), name.cend(), to);
        to += name.size();
    } else {
        to = writeNumber(to, verse.book);
    }
    *to++ = QLatin1Char(' ');
    to = writeNumber(to, verse.chapter);
    *to++ = QLatin1Char(':');
    to = writeNumber(to, verse.verse);
    *to++ = QLatin1Char(' ');
    prefix.truncate(to - prefix.constData());
}

bool TermSearch::Accepts(const Verse &verse, const QString &referenceLine) const
{
    return m_problem == SearchProblem::None && BookRange::Accepts(m_request.rangeCode, verse.book) &&
           ModeAccepts(referenceLine);
}

bool TermSearch::ModeAccepts(const QString &referenceLine) const
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

SearchResult TermSearch::Run(const VerseSource &source, const Poll &poll) const
{
    SearchResult result;
    if (m_problem != SearchProblem::None || !BookRange::IsValid(m_request.rangeCode))
        return result;
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
        if (!BookRange::Accepts(m_request.rangeCode, verse.book))
            return true;
        // The reference line is built only for the verses taken.
        BuildPrefix(verse, m_prefix);
        if (VerseAccepted(verse.text)) {
            result.text.append(QStringView(m_prefix)).append(verse.text).append(QLatin1Char('\n'));
            ++result.verses;
        }
        return true;
    });
    return result;
}
