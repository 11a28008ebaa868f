#pragma once

#include "search/TermSearch.h"

#include <memory>

class QTextDocument;
class SearchView;
class Translation;
struct HighlightPlan;

// Where a search reads its verses.
struct SearchSource
{
    // Empty when there is nothing to read (no translation).
    TermSearch::VerseSource verses;
    // The lines the verses come from, for the progress bar.
    qint64 lines = 0;
    // Whose book range and result are copied to the scratch folder; none leaves
    // the folder alone.
    Translation *translation = nullptr;

    // Every verse of a translation through the given source, with its line count.
    static SearchSource Of(Translation &translation, TermSearch::VerseSource verses);
};

// One search from its request to its summary, without widgets: the verses are
// scanned, the result becomes a new document in the plain colour, font and size
// that goes to the view, the hits of each term are coloured in batches with
// events let run in between, and the terms are summed up in the summary and the
// status. A stop during the scan ends the scan (the verses found so far are still
// coloured); a stop during the colouring ends the colouring, and the summary
// lists the terms reached.
class SearchRun
{
public:
    explicit SearchRun(SearchView &view);

    // Runs the search to its end or to a stop; errors of the source pass through.
    // Nothing happens while another run is going on. Returns what the reader is
    // to be told once the search is over: that the module file, cut short, ends
    // before books of the range; empty when there is nothing to tell.
    QString Run(const TermSearch &search, const SearchSource &source);
    // Asks the run to stop at its next look at the events.
    void Stop() { m_stopRequested = true; }
    // Stops the run and drops its result: another document took the pane's
    // place, and nothing the run made may replace it.
    void Abandon()
    {
        m_stopRequested = true;
        m_abandoned = m_running;
    }
    bool Running() const { return m_running; }
    // The hits counted in the summary of the last run.
    qint64 Matches() const { return m_matches; }
    // How often events run during the scan and between the colouring's batches;
    // 0 lets them run every 64 lines and after every hit (tests).
    void SetPollInterval(int milliseconds) { m_pollMilliseconds = milliseconds; }

    // Why a search with the given problem does not run, for the reader.
    static QString Refusal(SearchProblem problem);
    // The status after a search: "6 Verses", or "4 Matches 3 Verses" when it had terms.
    static QString StatusText(qint64 verses, qint64 matches, bool withTerms);

private:
    void ShowEmptyDocument();
    SearchResult Scan(const TermSearch &search, const SearchSource &source);
    static void WriteScratchFiles(const SearchResult &result, const SearchSource &source, int rangeCode);
    std::unique_ptr<QTextDocument> ResultDocument(const QString &text) const;
    bool Highlight(std::unique_ptr<QTextDocument> document, const QString &madeFrom, const QStringList &terms,
                   bool ignoreCase);
    size_t ColourHits(QTextDocument &document, const HighlightPlan &plan, int *termsReached);
    void ShowSummary(const HighlightPlan &plan, size_t coloured, int termsReached, bool ignoreCase);
    bool LetEventsRun();

    SearchView &m_view;
    int m_pollMilliseconds = TermSearch::PollMilliseconds;
    bool m_running = false;
    bool m_stopRequested = false;
    bool m_abandoned = false;
    qint64 m_matches = 0;
};
