#pragma once

#include <QByteArray>
#include <QString>

class QTextDocument;

// Reads Rich Text Format into a QTextDocument: text, fonts, colours, bold, italic,
// underline, strike-out, capitals, super/subscript, sizes, alignment, indents, lists
// (\pn and \ls; the marker text, \pntext or \listtext, is the list's, not text)
// and the complex-script forms (\ab, \ai, \afs, \af) for Hebrew, Arabic and the like.
// Text of destinations that are not body text (headers, pictures, field
// instructions, the style sheet, anything marked \*) is left out. Unknown control
// words are ignored and the text around them kept, as RTF requires.
//
// Lengths: twips become QTextBlockFormat margins in pixels at the screen's logical
// DPI (Twips::perPixelX/Y), the unit the document layout works in on screen. Sizes
// (\fs half-points) become QTextCharFormat point sizes. Character properties that the
// input leaves at their default (including the \deff font) are not set, so the text
// takes the document's own defaults.
class RtfReader
{
public:
    // Reads an RTF document into `into` (cleared first). Damaged RTF is read as far as
    // it makes sense; false (with a short reason in *error) only when the input does not
    // start with "{\rtf" (leading white space and a UTF-8 byte order mark allowed).
    // *damaged tells whether the text ended before its groups were closed (a cut-off
    // file) or nested past the depth limit: what could be read is in the document.
    // A stray "}" that closes the document early is no damage: the text after it
    // is read on, as word processors do.
    static bool read(const QByteArray &rtf, QTextDocument *into, QString *error = nullptr,
                     bool *damaged = nullptr);

    // Groups nested deeper than this are skipped with their contents.
    static constexpr int MaxDepth = 1000;
};
