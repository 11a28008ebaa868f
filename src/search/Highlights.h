#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <array>
#include <vector>

// One hit of a term in the result text.
struct Hit
{
    qsizetype position = 0;
    qsizetype length = 0;
    int term = 0; // 1-based
};

// One line of the search summary: how often a term was found.
struct TermCount
{
    QString term;
    qint64 count = 0;
};

// Every hit of every term in the result text, found before anything is
// coloured. The find ignores case whatever the search did, and ' and " match
// their typographic forms. Each term is searched from the first character, and
// after a hit at p from p + 1, so a doubled letter counts twice. Once the hits
// of all terms together reach the limit, the term ends there and each later term
// keeps only its first hit.
struct HighlightPlan
{
    std::vector<Hit> hits; // term by term, each term's hits in text order
    QList<TermCount> summary;
    qint64 matches = 0;
    bool limitReached = false;
    size_t limitHits = 0; // the hits up to the one that reached the limit

    // The summary line of a term as the summary box lists it: the count, a blank
    // and the term (upper-cased when the search ignored case).
    static QString SummaryLine(const TermCount &count, bool ignoreCase);
};

HighlightPlan PlanHighlights(QStringView resultText, const QStringList &terms, qint32 maxCount);

// The colour of term k (1-based) as 0x00BBGGRR: the five highlight colours in
// turn, every sixth term yellow.
quint32 TermColour(int term, const std::array<quint32, 5> &highlightColours);
