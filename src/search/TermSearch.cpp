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
void appendNumber(QString &line, qint32 number)
{
    if (number < 0) {
        line.append(QString::number(number));
        return;
    }
    char16_t digits[12];
    int count = 0;
    do {
        digits[count++] = char16_t(u'0' + number % 10);
        number /= 10;
    } while (number > 0);
    while (count > 0)
        line.append(QChar(digits[--count]));
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
    line.clear();
    if (verse.book >= 1 && verse.book < int(m_abbreviations.size()))
        line.append(m_abbreviations[size_t(verse.book)]);
    else
        appendNumber(line, verse.book);
    line.append(QLatin1Char(' '));
    appendNumber(line, verse.chapter);
    line.append(QLatin1Char(':'));
    appendNumber(line, verse.verse);
    line.append(QLatin1Char(' ')).append(verse.text);
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
        BuildReferenceLine(verse, m_line);
        if (ModeAccepts(m_line)) {
            result.text.append(m_line).append(QLatin1Char('\n'));
            ++result.verses;
        }
        return true;
    });
    return result;
}
