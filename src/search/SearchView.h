#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

class QTextDocument;

// What a search run shows while it works, and how it lets the rest of the
// program live meanwhile: the workspace window, or a recording view in tests.
class SearchView
{
public:
    virtual ~SearchView() = default;

    // The progress bar: shown over 0..maximum (the lines to read, then the hits
    // to colour), moved on, hidden.
    virtual void ShowProgress(qint64 maximum) = 0;
    virtual void SetProgress(qint64 value) = 0;
    virtual void HideProgress() = 0;
    // The status text; emphasised while the hits are coloured.
    virtual void ShowStatus(const QString &text, bool emphasised) = 0;
    // The font of the document shown now; a new document starts from it.
    virtual QFont DocumentFont() const = 0;
    // Shows a document, which the view takes over. A result shown before its
    // colouring is shown again once it is coloured.
    virtual void ShowDocument(QTextDocument *document) = 0;
    // Whether the reader watches the hits being coloured (Active Update): the
    // result is shown before its colouring instead of after it.
    virtual bool WatchesColouring() const = 0;
    // One line per term reached; red when the limit cut the colouring short.
    virtual void ShowSummary(const QStringList &lines, bool limitReached) = 0;
    // Lets pending events run (the stop button, repaints, the clock).
    virtual void LetEventsRun() = 0;
};
