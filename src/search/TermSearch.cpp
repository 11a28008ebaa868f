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

QString TermSearch::ReferenceLine(const Verse &verse) const
{
    const QString abbreviation = verse.book >= 1 && verse.book < int(m_abbreviations.size())
                                     ? m_abbreviations[size_t(verse.book)]
                                     : QString::number(verse.book);
    QString line;
    line.reserve(abbreviation.size() + 12 + verse.text.size());
    line.append(abbreviation)
        .append(QLatin1Char(' '))
        .append(QString::number(verse.chapter))
        .append(QLatin1Char(':'))
        .append(QString::number(verse.verse))
        .append(QLatin1Char(' '))
        .append(verse.text);
    return line;
}

bool TermSearch::Accepts(const Verse &verse, const QString &referenceLine) const
{
    return m_problem == SearchProblem::None && BookRange::Accepts(m_request.rangeCode, verse.book) &&
           ModeAccepts(referenceLine);
}

bool TermSearch::ModeAccepts(const QString &referenceLine) const
{
    if (m_request.mode == SearchMode::EveryVerse)
        return true;
    SearchText::FoldInto(referenceLine, m_request.ignoreCase, m_folded);
    switch (m_request.mode) {
    case SearchMode::Pattern:
        return m_pattern->Matches(m_folded);
    case SearchMode::AllTerms:
        for (const QString &term : m_foldedTerms) {
            if (!m_folded.contains(term))
                return false;
        }
        return true;
    case SearchMode::AnyTerm:
        for (const QString &term : m_foldedTerms) {
            if (m_folded.contains(term))
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
        const QString line = ReferenceLine(verse);
        if (ModeAccepts(line)) {
            result.text.append(line).append(QLatin1Char('\n'));
            ++result.verses;
        }
        return true;
    });
    return result;
}
