#pragma once

#include "core/VerseReader.h"
#include "search/VerseSource.h"
#include "search/WildcardPattern.h"

#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <optional>

// The four ways a verse can be accepted.
enum class SearchMode {
    Pattern,   // "None": the whole reference line matches the search text as a wildcard pattern
    AllTerms,  // "Ignore Order": terms 1 to 7 all occur
    AnyTerm,   // "Any Terms": at least one of terms 1 to 7 occurs
    EveryVerse // "Entire Selection": every verse of the range
};

// What a search is asked for, taken once when it starts.
struct SearchRequest
{
    QString text;
    SearchMode mode = SearchMode::Pattern;
    bool ignoreCase = false;
    int rangeCode = 0;
};

enum class SearchProblem { None, TooManyTerms, InvalidPattern };

struct SearchResult
{
    // One reference line per accepted verse, each ended by "\n", in module order.
    QString text;
    qint64 verses = 0;
    qint64 lines = 0; // lines read, as far as counted: a module file's only for the polls
    bool stopped = false;
};

// The term search without widgets: the verses of a module come in through a
// source (the verse reader, or a list in tests); each one whose book lies in the
// range and that the mode accepts becomes one reference line of the result.
class TermSearch
{
public:
    using VerseSource = ::VerseSource;
    // Called about every 50 ms during the scan with the lines read so far; returns
    // false to stop the search (the verses found so far stay).
    using Poll = std::function<bool(qint64 lines)>;
    // The abbreviation of a book 1-72, as the book-name table gives it.
    using Abbreviation = std::function<QString(int book)>;

    static constexpr int DecidingTerms = 7;
    static constexpr int PollMilliseconds = 50;

    TermSearch(const SearchRequest &request, const Abbreviation &abbreviation);

    SearchProblem Problem() const { return m_problem; }
    const SearchRequest &Request() const { return m_request; }
    // Every term of the search text; terms after the seventh are coloured only.
    const QStringList &Terms() const { return m_terms; }

    // The reference line of a verse: the upper-case abbreviation, a blank,
    // chapter:verse, a blank and the verse text.
    QString ReferenceLine(const Verse &verse) const;
    // Whether the verse belongs to the range and the mode accepts its line.
    bool Accepts(const Verse &verse, const QString &referenceLine) const;
    // Whether the mode accepts a reference line.
    bool ModeAccepts(QStringView referenceLine) const;
    // The reference that begins a reference line, "GEN 1:1 ": at most how long
    // it is, and written to `to`, which has room for that; returns its end.
    qsizetype MaxReferenceLength(qint32 book) const;
    QChar *WriteReference(qint32 book, qint32 chapter, qint32 verse, QChar *to) const;

    SearchResult Run(const VerseSource &source, const Poll &poll = {}) const;
    // How often Run polls; 0 polls every 64 lines (tests).
    void SetPollInterval(int milliseconds) { m_pollMilliseconds = milliseconds; }
    int PollInterval() const { return m_pollMilliseconds; }

    // What a line must hold for the mode to accept it, folded: every one of these
    // texts, or for "Any Terms" one of them. The deciding terms, or the runs of
    // plain characters of the pattern; none for "Entire Selection".
    QStringList RequiredTexts() const;
    bool NeedsEveryRequiredText() const { return m_request.mode != SearchMode::AnyTerm; }
    // Whether holding them is also enough (not so for a pattern).
    bool RequiredTextsDecide() const { return m_request.mode != SearchMode::Pattern; }
    // Whether a line may hold the folded text at a place that takes in some of
    // its reference ("GEN 1:1 "), which is no part of the verse text.
    bool MayReachIntoReference(const QString &folded) const;
    // Whether the reference line of this verse may hold the folded text at a
    // place that begins in its reference (a place that runs on into the verse
    // text counts).
    bool ReferenceMayHold(const QString &folded, qint32 book, qint32 chapter, qint32 verse) const;

private:
    void BuildReferenceLine(const Verse &verse, QString &line) const;
    void BuildPrefix(qint32 book, qint32 chapter, qint32 verse, QString &prefix) const;
    void Take(const Verse &verse, SearchResult &result) const;
    // ModeAccepts for the line m_prefix + the verse text, without building it.
    bool VerseAccepted(const QString &text) const;
    bool LineContains(const QString &text, const QString &foldedTerm) const;

    SearchRequest m_request;
    SearchProblem m_problem = SearchProblem::None;
    QStringList m_terms;
    QStringList m_foldedTerms; // the deciding terms, folded as the lines are
    std::optional<WildcardPattern> m_pattern;
    std::array<QString, 73> m_abbreviations;       // upper-cased, by book
    std::array<QString, 73> m_foldedAbbreviations; // and folded
    mutable QString m_folded;                      // scratch for the folded line
    mutable QString m_prefix;                      // scratch: the line's reference and blanks
    mutable QString m_reference;                   // scratch for ReferenceMayHold
    int m_pollMilliseconds = PollMilliseconds;
};
