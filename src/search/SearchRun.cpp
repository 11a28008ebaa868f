#include "search/SearchRun.h"
#include "search/BookRange.h"
#include "search/Highlights.h"
#include "search/SearchText.h"
#include "search/SearchView.h"

#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Translation.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/OleColor.h"
#include "platform/TextFile.h"

#include <QElapsedTimer>
#include <QScopeGuard>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <array>
#include <vector>

namespace {
constexpr int MsgInvalidPattern = 241;
constexpr int MsgTooManyTerms = 242;
constexpr int MsgModuleEndsBefore = 257;
constexpr int LastBibleBook = 66;

// The counts are of the text before the cut: the reader is told, once a search,
// the books of the range that a module file cut short ends in or before, as
// "Psalms - Revelation" (one book alone by its name). Empty when the search
// read them whole.
QString whereTheModuleEnds(const SearchSource &source, int rangeCode)
{
    const Translation *translation = source.translation;
    int first = 1;
    int last = LastBibleBook;
    if (!translation || !translation->CutShort() ||
        (rangeCode != BookRange::WholeModule && !BookRange::Books(rangeCode, &first, &last)))
        return QString();
    // From the book the file stops in, or the first one after the cut.
    for (int book = first; book <= last; ++book) {
        if (translation->StopsWithin(book) || translation->CutShortBefore(book)) {
            QString books = BookNames().FullName(qint16(book));
            if (book != last)
                books += QStringLiteral(" - ") + BookNames().FullName(qint16(last));
            return MsgSupport::GetMsgListing(MsgModuleEndsBefore,
                                             FileNames::resolve(translation->ModulePath()), {books});
        }
    }
    return QString();
}
} // namespace

SearchSource SearchSource::Of(Translation &translation, TermSearch::VerseSource verses)
{
    qint64 lines = 0;
    for (const ChapterRecord &record : translation.Records())
        lines += std::max(0, record.lastLine - record.firstLine + 1);
    return SearchSource{std::move(verses), lines, &translation};
}

SearchRun::SearchRun(SearchView &view)
    : m_view(view)
{
}

QString SearchRun::Refusal(SearchProblem problem)
{
    const int id = problem == SearchProblem::TooManyTerms ? MsgTooManyTerms : MsgInvalidPattern;
    return problem == SearchProblem::None ? QString() : GetMsg(0, id, QString::number(SearchText::MaxTerms));
}

QString SearchRun::StatusText(qint64 verses, qint64 matches, bool withTerms)
{
    const QString versesText = QString::number(verses) + QStringLiteral(" Verses");
    return withTerms ? QString::number(matches) + QStringLiteral(" Matches ") + versesText : versesText;
}

QString SearchRun::Run(const TermSearch &search, const SearchSource &source)
{
    if (m_running)
        return QString();
    m_running = true;
    m_stopRequested = false;
    const auto done = qScopeGuard([this] {
        m_running = false;
        m_stopRequested = false;
        m_abandoned = false;
    });
    m_matches = 0;
    ShowEmptyDocument();
    m_view.ShowSummary({}, false);
    m_view.ShowStatus(QString(), false);
    SearchResult result;
    {
        const WaitCursor wait;
        result = Scan(search, source);
    }
    if (m_abandoned)
        return QString();
    WriteScratchFiles(result, source, search.Request().rangeCode);
    std::unique_ptr<QTextDocument> document = ResultDocument(result.text);
    QTextDocument *shown = document.get();
    if (!Highlight(std::move(document), result.text, search.Terms(), search.Request().ignoreCase))
        return QString();
    shown->setUndoRedoEnabled(true);
    m_view.ShowStatus(StatusText(result.verses, m_matches, !search.Terms().isEmpty()), false);
    return whereTheModuleEnds(source, search.Request().rangeCode);
}

// The old result goes first, replaced by an empty document of its own: cleared or
// laid out anew for the page, it would cost as much as the new one.
void SearchRun::ShowEmptyDocument()
{
    auto *empty = new QTextDocument;
    empty->setDefaultFont(m_view.DocumentFont());
    m_view.ShowDocument(empty);
}

SearchResult SearchRun::Scan(const TermSearch &search, const SearchSource &source)
{
    if (!source.verses)
        return {};
    m_view.ShowProgress(source.lines);
    TermSearch scan = search;
    scan.SetPollInterval(m_pollMilliseconds);
    SearchResult result = scan.Run(source.verses, [this](qint64 lines) {
        m_view.SetProgress(lines);
        return LetEventsRun();
    });
    // The stop ends the scan only; the verses found so far are still coloured.
    m_stopRequested = false;
    m_view.HideProgress();
    return result;
}

// false once a stop was asked for.
bool SearchRun::LetEventsRun()
{
    m_view.LetEventsRun();
    return !m_stopRequested;
}

// The copy of the range and the result in the scratch folder, for whoever looks
// there; the search itself never reads them back.
void SearchRun::WriteScratchFiles(const SearchResult &result, const SearchSource &source, int rangeCode)
{
    if (!source.translation)
        return;
    Translation &translation = *source.translation;
    IgnoreErrors([&] {
        // Made when missing: it is created only at the first start of a version.
        FileFunctions_::MakeFolder(gScratchFolder);
        int first = 0;
        int last = 0;
        if (BookRange::Books(rangeCode, &first, &last))
            translation.CopyBookIntoFile(gScratchFolder + translation.FileName, first, last, true);
    });
    IgnoreErrors([&] {
        TextFiles::writeAtomically(gScratchFolder + QStringLiteral("BibTmp_") + translation.FileName,
                                   TextFiles::encodeText(result.text, translation.CodePage),
                                   TextFiles::Durability::Unsynced);
    });
}

// The result is built off the screen in the plain colour, font and size, so that
// nothing is laid out or painted while it grows.
std::unique_ptr<QTextDocument> SearchRun::ResultDocument(const QString &text) const
{
    auto document = std::make_unique<QTextDocument>();
    document->setUndoRedoEnabled(false);
    QFont font = m_view.DocumentFont();
    font.setFamily(gDefaultFont);
    if (gBib1Fontsize > 0)
        font.setPointSize(gBib1Fontsize);
    document->setDefaultFont(font);
    // The font is the text's own, not only the document's default: saved as RTF
    // (a bookmark) the result keeps its face and size.
    QTextCharFormat plain;
    plain.setFont(font);
    plain.setForeground(OleColor::toQColor(gBib1TC));
    // Each new paragraph takes the format of the one it is split from: the
    // pane's paragraph format set on the first is on them all, without a pass
    // over the document when it is shown.
    QTextCursor cursor(document.get());
    cursor.setBlockFormat(m_view.ResultParagraphFormat());
    cursor.insertText(text, plain);
    return document;
}

// madeFrom: the text the document was made from. False when the run was
// abandoned meanwhile: the result is not shown.
bool SearchRun::Highlight(std::unique_ptr<QTextDocument> document, const QString &madeFrom,
                          const QStringList &terms, bool ignoreCase)
{
    QTextDocument &result = *document;
    // With Active Update the reader watches the colours come; otherwise the
    // document is shown once it is coloured.
    gActiveUpdateBib1 = m_view.WatchesColouring();
    if (gActiveUpdateBib1 || terms.isEmpty())
        m_view.ShowDocument(document.release());
    if (terms.isEmpty())
        return true;
    const HighlightPlan plan = PlanHighlights(result, madeFrom, terms, gMaxCountSize);
    m_view.ShowProgress(qint64(plan.hits.size()));
    int termsReached = 0;
    const size_t coloured = ColourHits(result, plan, &termsReached);
    if (m_abandoned) {
        m_view.HideProgress();
        return false;
    }
    m_view.ShowDocument(document ? document.release() : &result);
    m_view.HideProgress();
    ShowSummary(plan, coloured, termsReached, ignoreCase);
    return true;
}

// Colours the hits in one edit block per poll interval, letting events run in
// between, until a stop. Returns the hits coloured; termsReached: the terms begun.
size_t SearchRun::ColourHits(QTextDocument &document, const HighlightPlan &plan, int *termsReached)
{
    const std::array<quint32, 5> colours{gBib1H1, gBib1H2, gBib1H3, gBib1H4, gBib1H5};
    // One format per term, made once rather than for every hit.
    std::vector<QTextCharFormat> formats(size_t(plan.summary.size()) + 1);
    for (size_t term = 1; term < formats.size(); ++term)
        formats[term].setForeground(OleColor::toQColor(TermColour(int(term), colours)));
    QTextCursor cursor(&document);
    QElapsedTimer clock;
    clock.start();
    size_t next = 0;
    while (next < plan.hits.size()) {
        // Colouring is no edit: a result shown while it is coloured stays unchanged.
        const bool changed = document.isModified();
        cursor.beginEditBlock();
        do {
            const Hit &hit = plan.hits[next];
            if (hit.term > *termsReached) {
                *termsReached = hit.term;
                m_view.ShowStatus(QStringLiteral("Highlighting \"") + plan.summary[hit.term - 1].term +
                                      QLatin1Char('"'),
                                  true);
            }
            cursor.setPosition(int(hit.position));
            cursor.setPosition(int(hit.position + hit.length), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(formats[size_t(hit.term)]);
            ++next;
        } while (next < plan.hits.size() && clock.elapsed() < m_pollMilliseconds);
        cursor.endEditBlock();
        document.setModified(changed);
        m_view.SetProgress(qint64(next));
        if (next < plan.hits.size()) {
            if (!LetEventsRun())
                return next;
            clock.restart();
        }
    }
    // Terms without a hit after the last coloured one were reached too.
    *termsReached = int(plan.summary.size());
    return next;
}

// The summary counts what was coloured: after a stop, the hits of the term being
// coloured that were never reached are not counted.
void SearchRun::ShowSummary(const HighlightPlan &plan, size_t coloured, int termsReached, bool ignoreCase)
{
    QList<TermCount> counts = plan.summary.mid(0, termsReached);
    for (TermCount &count : counts)
        count.count = 0;
    for (size_t hit = 0; hit < coloured; ++hit)
        ++counts[plan.hits[hit].term - 1].count;
    QStringList lines;
    for (const TermCount &count : counts)
        lines.append(HighlightPlan::SummaryLine(count, ignoreCase));
    m_matches = qint64(coloured);
    m_view.ShowSummary(lines, plan.limitReached && coloured >= plan.limitHits);
}
