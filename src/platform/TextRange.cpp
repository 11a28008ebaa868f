#include "platform/TextRange.h"

#include "platform/RtfReader.h"
#include "platform/RtfWriter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFont.h"
#include "platform/TextPara.h"

#include <QSet>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextDocumentFragment>

namespace {
QString source()
{
    return QStringLiteral("Verbanox.TextRange");
}

[[noreturn]] void raiseReleased()
{
    raiseError(Tom::ObjectReleasedError, source(),
               QStringLiteral("The document of this text range no longer exists"));
}

// QTextDocument marks paragraphs with U+2029 and soft line breaks with U+2028.
QString toModelText(QString text)
{
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\r'));
    text.replace(QChar::LineSeparator, QLatin1Char('\v'));
    return text;
}

// QTextCursor::insertText already turns "\r", "\n" and "\r\n" into paragraph marks.
QString toDocumentText(QString text)
{
    text.replace(QLatin1Char('\v'), QChar::LineSeparator);
    return text;
}

bool isWordCharacter(QChar c)
{
    return c.isLetterOrNumber() || c.isMark() || c == QLatin1Char('_');
}

QTextCursor spanCursor(QTextCursor cursor, int anchor, int position)
{
    // Placed outside an edit block, a cursor works out its horizontal position and
    // so lays the document out up to itself: a range at the end of a long text
    // would lay out all of it. A range has no use for that position.
    cursor.beginEditBlock();
    cursor.setPosition(anchor);
    cursor.setPosition(position, QTextCursor::KeepAnchor);
    cursor.endEditBlock();
    return cursor;
}

// The format new text takes when it replaces the span: that of its first character
// of text, or the insertion format where the span holds no text.
QTextCharFormat formatForNewText(const QTextCursor &cursor)
{
    const int from = cursor.selectionStart();
    const int to = cursor.selectionEnd();
    const QTextDocument *document = cursor.document();
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() > from && fragment.position() < to)
                return fragment.charFormat();
        }
    }
    QTextCursor insertion = cursor;
    if (insertion.hasSelection())
        insertion.setPosition(from);
    return insertion.charFormat();
}

struct FormattedSpan
{
    int from;
    int to;
    QTextCharFormat format;
};

// The pieces of [from, to) that carry one character format, marks left out.
QList<FormattedSpan> formattedSpans(const QTextDocument *document, int from, int to)
{
    QList<FormattedSpan> spans;
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = qMax(from, fragment.position());
            const int end = qMin(to, fragment.position() + fragment.length());
            if (start < end)
                spans.append({start, end, fragment.charFormat()});
        }
    }
    return spans;
}
} // namespace

std::shared_ptr<TextRange> TextRange::create(QTextDocument *document, int start, int end)
{
    if (!document)
        raiseReleased();
    std::shared_ptr<TextRange> range(new TextRange(QTextCursor(document)));
    range->setSpan(start, end);
    return range;
}

TextRange::TextRange(const QTextCursor &cursor)
    : m_cursor(cursor)
{
}

TextRange::~TextRange() = default;

QTextCursor TextRange::cursor() const
{
    return m_cursor;
}

bool TextRange::coversFinalMark() const
{
    return m_coversFinalMark;
}

void TextRange::store(const QTextCursor &cursor, bool coversFinalMark)
{
    m_cursor = cursor;
    m_coversFinalMark = coversFinalMark;
}

QTextCursor TextRange::liveCursor() const
{
    QTextCursor c = cursor();
    if (c.isNull() || !c.document())
        raiseReleased();
    return c;
}

void TextRange::setSpan(int anchor, int active)
{
    QTextCursor c = liveCursor();
    const int length = c.document()->characterCount();
    anchor = qBound(0, anchor, length);
    active = qBound(0, active, length);
    // Only a range with text may reach past the final mark; an insertion point there
    // would put text after it, so it sits just before it.
    const bool coversFinal = (anchor == length) != (active == length);
    anchor = qMin(anchor, length - 1);
    active = qMin(active, length - 1);
    // Moving a cursor drops the format chosen for its insertion point; keep it when
    // the span stays.
    if (c.anchor() != anchor || c.position() != active)
        c = spanCursor(c, anchor, active);
    store(c, coversFinal);
}

bool TextRange::activeIsStart() const
{
    const QTextCursor c = liveCursor();
    return c.position() < c.anchor();
}

void TextRange::setSpanKeepingDirection(int start, int end)
{
    if (activeIsStart())
        setSpan(end, start);
    else
        setSpan(start, end);
}

int TextRange::Start() const
{
    return liveCursor().selectionStart();
}

int TextRange::End() const
{
    const QTextCursor c = liveCursor();
    return coversFinalMark() ? c.document()->characterCount() : c.selectionEnd();
}

int TextRange::StoryLength() const
{
    return liveCursor().document()->characterCount();
}

void TextRange::setStart(int position)
{
    setSpanKeepingDirection(position, qMax(position, End()));
}

void TextRange::setEnd(int position)
{
    setSpanKeepingDirection(qMin(position, Start()), position);
}

void TextRange::SetRange(int anchor, int active)
{
    setSpan(anchor, active);
}

void TextRange::Collapse(int bStart)
{
    const int at = bStart != 0 ? Start() : End();
    setSpan(at, at);
}

QString TextRange::storyText(int from, int to) const
{
    QTextCursor c = liveCursor();
    const int last = c.document()->characterCount() - 1;
    QString text = toModelText(spanCursor(c, qMin(from, last), qMin(to, last)).selectedText());
    if (to > last)
        text += QLatin1Char('\r');
    return text;
}

QString TextRange::Text() const
{
    QString text = toModelText(liveCursor().selectedText());
    if (coversFinalMark())
        text += QLatin1Char('\r');
    return text;
}

void TextRange::setText(const QString &text)
{
    // Covering the final mark, the range replaces everything before it: the cursor
    // never holds the mark itself.
    QTextCursor c = liveCursor();
    const int start = c.selectionStart();
    const QTextCharFormat format = formatForNewText(c);
    c.beginEditBlock();
    c.insertText(toDocumentText(text), format);
    c.endEditBlock();
    store(spanCursor(c, start, c.position()), false);
}

std::shared_ptr<TextFont> TextRange::Font()
{
    return TextFont::attachedTo(shared_from_this());
}

void TextRange::setFont(const TextFont &font)
{
    Font()->SetDuplicate(font);
}

std::shared_ptr<TextPara> TextRange::Para()
{
    return TextPara::attachedTo(shared_from_this());
}

void TextRange::setPara(const TextPara &para)
{
    Para()->SetDuplicate(para);
}

int TextRange::findIn(const QString &text, int from, int to, bool backward, int flags) const
{
    const Qt::CaseSensitivity cs = (flags & Tom::tomMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    const bool wholeWord = (flags & Tom::tomMatchWord) != 0;
    // One character on either side decides whether a match is a whole word.
    const int textFrom = qMax(0, from - 1);
    const QString story = storyText(textFrom, qMin(StoryLength(), to + 1));
    const qsizetype first = from - textFrom;
    const qsizetype limit = to - textFrom; // a match ends at or before it
    const qsizetype n = text.size();
    auto acceptable = [&](qsizetype at) {
        if (!wholeWord)
            return true;
        const bool wordBefore = at > 0 && isWordCharacter(story.at(at - 1));
        const bool wordAfter = at + n < story.size() && isWordCharacter(story.at(at + n));
        return !wordBefore && !wordAfter;
    };
    if (limit - n < first)
        return -1;
    if (!backward) {
        for (qsizetype at = story.indexOf(text, first, cs); at >= 0 && at + n <= limit;
             at = story.indexOf(text, at + 1, cs)) {
            if (acceptable(at))
                return int(textFrom + at);
        }
        return -1;
    }
    for (qsizetype at = story.lastIndexOf(text, limit - n, cs); at >= first;
         at = at > 0 ? story.lastIndexOf(text, at - 1, cs) : -1) {
        if (acceptable(at))
            return int(textFrom + at);
    }
    return -1;
}

int TextRange::FindText(const QString &text, int count, int flags)
{
    const int length = StoryLength();
    if (text.isEmpty())
        return 0;
    const qint64 start = Start();
    const qint64 end = End();
    int found = -1;
    if (count > 0)
        found = findIn(text, int(start), int(qMin<qint64>(length, start + count)), false, flags);
    else if (count < 0)
        found = findIn(text, int(qMax<qint64>(0, end + count)), int(end), true, flags);
    else
        found = findIn(text, int(start), int(end), false, flags);
    if (found < 0)
        return 0;
    setSpan(found, found + int(text.size()));
    return int(text.size());
}

QByteArray TextRange::Copy() const
{
    const QTextCursor c = liveCursor();
    return RtfWriter::write(*c.document(), c.selectionStart(), coversFinalMark() ? -1 : c.selectionEnd());
}

void TextRange::Paste(const QByteArray &rtf)
{
    QTextCursor c = liveCursor();
    QTextDocument pasted;
    QString error;
    if (!RtfReader::read(rtf, &pasted, &error))
        raiseError(RtErr::InvalidProcedureCall, source(),
                   QStringLiteral("The RTF text cannot be read: %1").arg(error));
    const int start = c.selectionStart();
    c.beginEditBlock();
    c.removeSelectedText();
    c.insertFragment(QTextDocumentFragment(&pasted));
    c.endEditBlock();
    store(spanCursor(c, start, c.position()), false);
}

std::shared_ptr<TextRange> TextRange::Duplicate() const
{
    std::shared_ptr<TextRange> copy(new TextRange(liveCursor()));
    copy->m_coversFinalMark = coversFinalMark();
    return copy;
}

QTextDocument *TextRange::document() const
{
    const QTextCursor c = cursor();
    return c.isNull() ? nullptr : c.document();
}

QList<QTextCharFormat> TextRange::charFormats() const
{
    const QTextCursor c = liveCursor();
    QList<QTextCharFormat> formats;
    QSet<int> seen;
    const QTextDocument *document = c.document();
    for (QTextBlock block = document->findBlock(c.selectionStart());
         block.isValid() && block.position() < c.selectionEnd(); block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() + fragment.length() <= c.selectionStart())
                continue;
            if (fragment.position() >= c.selectionEnd())
                break;
            if (!seen.contains(fragment.charFormatIndex())) {
                seen.insert(fragment.charFormatIndex());
                formats.append(fragment.charFormat());
            }
        }
    }
    if (formats.isEmpty()) {
        // No text: the format text typed at the start would take.
        QTextCursor insertion = c;
        if (insertion.hasSelection())
            insertion.setPosition(c.selectionStart());
        formats.append(insertion.charFormat());
    }
    return formats;
}

void TextRange::changeCharFormats(const std::function<void(QTextCharFormat &)> &change)
{
    QTextCursor c = liveCursor();
    if (!c.hasSelection() && !coversFinalMark()) {
        QTextCharFormat format = c.charFormat();
        change(format);
        c.setCharFormat(format);
        store(c, false);
        return;
    }
    QTextDocument *document = c.document();
    const int from = c.selectionStart();
    const int to = coversFinalMark() ? document->characterCount() : c.selectionEnd();
    QTextCursor editor(document);
    editor.beginEditBlock();
    for (FormattedSpan &span : formattedSpans(document, from, to)) {
        change(span.format);
        spanCursor(editor, span.from, span.to).setCharFormat(span.format);
    }
    // A paragraph mark's format is what text typed into an empty paragraph takes.
    for (QTextBlock block = document->findBlock(from); block.isValid() && block.position() < to;
         block = block.next()) {
        const int mark = block.position() + block.length() - 1;
        if (mark < from || mark >= to)
            continue;
        QTextCharFormat format = block.charFormat();
        change(format);
        QTextCursor at = spanCursor(editor, block.position(), block.position());
        at.setBlockCharFormat(format);
    }
    editor.endEditBlock();
}

QList<QTextBlockFormat> TextRange::blockFormats() const
{
    const QTextCursor c = liveCursor();
    const QTextDocument *document = c.document();
    // A range that ends where a paragraph starts does not touch that paragraph.
    const int last = c.hasSelection() && !coversFinalMark() ? c.selectionEnd() - 1 : c.selectionEnd();
    QList<QTextBlockFormat> formats;
    QSet<int> seen;
    const QTextBlock end = document->findBlock(last).next();
    for (QTextBlock block = document->findBlock(c.selectionStart()); block.isValid() && block != end;
         block = block.next()) {
        if (!seen.contains(block.blockFormatIndex())) {
            seen.insert(block.blockFormatIndex());
            formats.append(block.blockFormat());
        }
    }
    return formats;
}

void TextRange::changeBlockFormats(const std::function<void(QTextBlockFormat &)> &change)
{
    const QTextCursor c = liveCursor();
    QTextDocument *document = c.document();
    const int last = c.hasSelection() && !coversFinalMark() ? c.selectionEnd() - 1 : c.selectionEnd();
    const QTextBlock end = document->findBlock(last).next();
    QTextCursor editor(document);
    editor.beginEditBlock();
    for (QTextBlock block = document->findBlock(c.selectionStart()); block.isValid() && block != end;
         block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        change(format);
        spanCursor(editor, block.position(), block.position()).setBlockFormat(format);
    }
    editor.endEditBlock();
}
