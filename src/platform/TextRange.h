#pragma once

#include "platform/Tom.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTextCursor>
#include <functional>
#include <memory>

class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;
class TextFont;
class TextPara;

// A span of a document's story in Text Object Model terms.
//
// Positions count characters of the story; a paragraph mark is one character and
// reads as "\r" (a soft line break reads as "\v"). The story always ends with a
// final paragraph mark that cannot be deleted, so StoryLength is the document's
// characterCount() and a range may reach StoryLength only by covering that mark;
// an insertion point is never placed after it.
//
// Ranges are shared objects, handed out as std::shared_ptr the way interface
// pointers are shared: copies of the pointer see the same range, Duplicate() makes
// an independent one. A range follows edits made before it and stays usable while
// its document lives; after that every call raises Tom::ObjectReleasedError.
class TextRange : public std::enable_shared_from_this<TextRange>
{
public:
    // A range of the document from start to end (clamped, swapped when reversed).
    static std::shared_ptr<TextRange> create(QTextDocument *document, int start, int end);
    virtual ~TextRange();

    TextRange(const TextRange &) = delete;
    TextRange &operator=(const TextRange &) = delete;

    int Start() const;
    // Moves the start; a start beyond the end moves the end with it.
    void setStart(int position);
    int End() const;
    // Moves the end; an end before the start moves the start with it.
    void setEnd(int position);
    // Start becomes the smaller and End the larger position; the active end is `active`.
    void SetRange(int anchor, int active);
    // Nonzero (tomStart, tomTrue) collapses to the start, zero (tomEnd) to the end.
    void Collapse(int bStart);
    int StoryLength() const;

    QString Text() const;
    // Replaces the range (or inserts at an insertion point); afterwards the range
    // covers the new text. "\r", "\n" and "\r\n" each become one paragraph mark.
    void setText(const QString &text);

    // A font attached to this range: reading mixed values gives tomUndefined.
    std::shared_ptr<TextFont> Font();
    // Applies the defined values of the font to the range.
    void setFont(const TextFont &font);
    // The paragraph format of the paragraphs the range touches.
    std::shared_ptr<TextPara> Para();
    void setPara(const TextPara &para);

    // Searches for text (count > 0: forward from Start for count characters;
    // count < 0: backward from End; 0: inside the range). On a match the range
    // moves to it and the match's length is returned; otherwise 0 and the range stays.
    int FindText(const QString &text, int count = Tom::tomForward, int flags = 0);

    // The range as RTF.
    QByteArray Copy() const;
    // Replaces the range with the text and formatting of an RTF text; afterwards the
    // range covers what was inserted. Unreadable RTF raises a RuntimeError.
    void Paste(const QByteArray &rtf);

    // A free-standing range over the same span.
    std::shared_ptr<TextRange> Duplicate() const;

    QTextDocument *document() const;

protected:
    explicit TextRange(const QTextCursor &cursor);

    // The span before the final mark as a cursor (anchor and position), and whether
    // the range also covers the final mark.
    virtual QTextCursor cursor() const;
    virtual bool coversFinalMark() const;
    virtual void store(const QTextCursor &cursor, bool coversFinalMark);
    // A cursor over the range; raises when the range outlived its document.
    QTextCursor liveCursor() const;

private:
    friend class TextFont;
    friend class TextPara;

    void setSpan(int anchor, int active);
    void setSpanKeepingDirection(int start, int end);
    bool activeIsStart() const;
    QString storyText(int from, int to) const;
    int findIn(const QString &text, int from, int to, bool backward, int flags) const;

    // The distinct character formats of the range's text; a range without text
    // gives the format at its insertion point.
    QList<QTextCharFormat> charFormats() const;
    // Changes each character format of the range (for an insertion point, the
    // format the next inserted text takes).
    void changeCharFormats(const std::function<void(QTextCharFormat &)> &change);
    QList<QTextBlockFormat> blockFormats() const;
    void changeBlockFormats(const std::function<void(QTextBlockFormat &)> &change);

    QTextCursor m_cursor;
    bool m_coversFinalMark = false;
};
