#pragma once

#include <QByteArray>

class QTextDocument;

// Writes a QTextDocument (or part of it) as RTF that word processors open and that
// RtfReader reads back with the same text and formatting: fonts, sizes, bold, italic,
// underline, strike-out, capitals, super/subscript, text and background colours,
// alignment and indents (pixels to twips as RtfReader converts them back), bulleted
// and numbered paragraphs (\pn with its \pntext), and the complex-script forms of
// bold, italic, size and font for Hebrew, Arabic and the like.
//
// Text is written in code page 1252; a character that code page lacks is written as
// \uN with "?" for readers that do not know \u. Lines of the output are kept short.
class RtfWriter
{
public:
    // The characters [start, end) of the document (end -1: to the end) as one RTF
    // document. Every paragraph the range touches is written and ends with \par; a range
    // that ends just after a paragraph break includes the empty start of the next
    // paragraph, so the text read back is the text of the range.
    static QByteArray write(const QTextDocument &document, int start = 0, int end = -1);
};
