#pragma once

#include "core/ReadingPane.h"

#include <QString>
#include <QStringList>
#include <vector>

class Translation;
struct Verse;

// Writes one book of a module the ways it is shown: into the reading pane
// (formatted with chapter headings and verse numbers, or as reference lines),
// as reference lines, and as an RTF document. The heading rules exist here once:
// the RTF document is the formatted view's runs written in RTF.
class BookRenderer
{
public:
    // The styles of the formatted view, which the pane defines.
    static const QString NormalStyle;
    static const QString ChapterStyle;
    static const QString VerseNumberStyle;

    explicit BookRenderer(const Translation &translation);

    // Appends the book to the pane in one batch. Typography (formatted view only)
    // is the pane's.
    void IntoPane(ReadingPane &pane, int book, bool fancyFormatting, bool smartQuotes, bool smartDash) const;
    // "<abbreviation> <chapter>:<verse> <text>", one line per verse.
    QStringList ReferenceLines(int book) const;
    // The lines of one RTF document, "{\rtf1\ansi" first and "}" last; one line a verse.
    QStringList RtfLines(int book) const;

private:
    // The chapter of the verse before: a new one gets a heading.
    struct Place
    {
        int book = 0;
        int chapter = 0;
    };
    // The formatted runs of one verse; text ends with the verse's paragraph break.
    void FormattedRuns(const Verse &verse, const QString &text, Place &last,
                       std::vector<StyledRun> &runs) const;
    QString MappedText(const Verse &verse) const;
    static QString ReferenceLine(const Verse &verse, const QString &text);

    const Translation &m_translation;
    QString m_headingWord;
};
