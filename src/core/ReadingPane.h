#pragma once

#include <QString>
#include <vector>

// A piece of text in a named style; an empty style name appends plain text.
struct StyledRun
{
    QString text;
    QString style;
};

// What writing a book needs of the reading pane: the pane control implements it,
// so that the text engine knows no widget.
class ReadingPane
{
public:
    virtual ~ReadingPane() = default;
    // The pane is hidden and does not repaint between the two calls.
    virtual void BeginFill() = 0;
    virtual void EndFill() = 0;
    // Appends plain text at the end in the format found there.
    virtual void AppendPlainText(const QString &text) = 0;
    // Appends text at the end in a named style.
    virtual void AppendFormattedText(const QString &text, const QString &style) = 0;
    // Appends the runs at the end in order, as the appends above would one by one.
    // A pane that can append a whole book at once does it here.
    virtual void AppendRuns(const std::vector<StyledRun> &runs)
    {
        for (const StyledRun &run : runs) {
            if (run.style.isEmpty())
                AppendPlainText(run.text);
            else
                AppendFormattedText(run.text, run.style);
        }
    }
    virtual void SetSelection(int start, int length) = 0;
    // Typographic rewriting of a verse text, in place.
    virtual void SmartQuotes(QString &text, const QString &quotes) = 0;
    virtual void FixSpacesAndDashes(QString &text) = 0;
};
