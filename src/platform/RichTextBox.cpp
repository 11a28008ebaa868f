#include "platform/RichTextBox.h"
#include "platform/CodePage.h"
#include "platform/OleColor.h"
#include "platform/ParagraphIndents.h"
#include "platform/RuntimeError.h"
#include "platform/TextDocument.h"
#include "platform/TextRange.h"
#include "platform/Tom.h"
#include "platform/Twips.h"

#include <QImage>
#include <QMimeData>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>
#include <optional>

namespace {
const QString CRLF = QStringLiteral("\r\n");

QString toDocumentBreaks(const QString &text)
{
    QString out = text;
    out.replace(CRLF, QStringLiteral("\n"));
    out.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return out;
}

// Qt marks paragraph and line breaks inside a text with their own characters.
QString toCrLfBreaks(const QString &text)
{
    QString out;
    out.reserve(text.size() + text.size() / 16);
    for (const QChar ch : text) {
        if (ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator || ch == QLatin1Char('\n'))
            out += CRLF;
        else
            out += ch;
    }
    return out;
}

const QStringList RtfFormats{QStringLiteral("text/rtf"), QStringLiteral("application/rtf")};

QByteArray rtfOf(const QMimeData *source)
{
    for (const QString &format : RtfFormats)
        if (source->hasFormat(format))
            return source->data(format);
    return {};
}

[[noreturn]] void invalidValue(const char *property)
{
    raiseError(RtErr::InvalidPropertyValue, QStringLiteral("RichTextBox"),
               QStringLiteral("Invalid property value (%1)").arg(QLatin1String(property)));
}
} // namespace

RichTextBox::RichTextBox(QWidget *parent)
    : QTextEdit(parent)
{
    setAcceptRichText(false);
}

void RichTextBox::setLocked(bool locked)
{
    setReadOnly(locked);
    if (locked)
        setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
}

QString RichTextBox::Text() const
{
    return toCrLfBreaks(document()->toRawText());
}

void RichTextBox::setText(const QString &text)
{
    setPlainText(toDocumentBreaks(text));
}

void RichTextBox::setRightMargin(float twips)
{
    m_rightMargin = twips;
    // A width that is no number (NaN) wraps at the pane's edge like 0.
    if (!(twips > 0)) {
        setLineWrapMode(QTextEdit::WidgetWidth);
    } else if (twips >= NoWrapTwips) {
        setLineWrapMode(QTextEdit::NoWrap);
    } else {
        setLineWrapMode(QTextEdit::FixedPixelWidth);
        setLineWrapColumnOrWidth(std::max(1, Twips::toPixelsX(twips)));
    }
}

float RichTextBox::SelIndent() const
{
    const QTextCursor cursor = textCursor();
    const QTextBlock first = document()->findBlock(cursor.selectionStart());
    return float(first.blockFormat().leftMargin() * Twips::perPixelX());
}

void RichTextBox::setSelIndent(float twips)
{
    QTextBlockFormat format;
    format.setLeftMargin(std::max(0.0, twips / Twips::perPixelX()));
    textCursor().mergeBlockFormat(format);
}

void RichTextBox::setPageIndent(float twips)
{
    ParagraphIndents::setSharedMargin(*document(), twips / Twips::perPixelX());
}

int RichTextBox::endPosition() const
{
    return document()->characterCount() - 1;
}

int RichTextBox::SelStart() const
{
    return textCursor().selectionStart();
}

void RichTextBox::setSelStart(int position)
{
    if (position < 0)
        invalidValue("SelStart");
    QTextCursor cursor = textCursor();
    cursor.setPosition(std::min(position, endPosition()));
    setTextCursor(cursor);
}

int RichTextBox::SelLength() const
{
    const QTextCursor cursor = textCursor();
    return cursor.selectionEnd() - cursor.selectionStart();
}

void RichTextBox::setSelLength(int length)
{
    if (length < 0)
        invalidValue("SelLength");
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.setPosition(start);
    cursor.setPosition(int(std::min<qint64>(qint64(start) + length, endPosition())), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

QString RichTextBox::SelText() const
{
    return toCrLfBreaks(textCursor().selectedText());
}

void RichTextBox::setSelText(const QString &text)
{
    // The widget's cursor carries the format chosen for the next text (SelColor,
    // SelBold without a selection), so insert through a copy of it.
    QTextCursor cursor = textCursor();
    cursor.insertText(toDocumentBreaks(text));
    setTextCursor(cursor);
    ensureCursorVisible();
}

QList<QTextCharFormat> SelectedFragmentFormats(const QTextCursor &cursor)
{
    const int start = cursor.selectionStart();
    const int end = cursor.selectionEnd();
    QList<QTextCharFormat> formats;
    for (QTextBlock block = cursor.document()->findBlock(start); block.isValid() && block.position() < end;
         block = block.next()) {
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (fragment.position() < end && fragment.position() + fragment.length() > start)
                formats.append(fragment.charFormat());
        }
    }
    if (formats.isEmpty())
        formats.append(cursor.charFormat());
    return formats;
}

QList<QTextCharFormat> RichTextBox::selectionFormats() const
{
    const QTextCursor cursor = textCursor();
    if (!cursor.hasSelection())
        return {cursor.charFormat()};
    return SelectedFragmentFormats(cursor);
}

quint32 RichTextBox::BackColor() const
{
    return OleColor::fromQColor(palette().color(QPalette::Base));
}

// By the palette, which the viewport fills itself from: a style sheet would win
// over every later palette.
void RichTextBox::setBackColor(quint32 color)
{
    QPalette colours = palette();
    colours.setColor(QPalette::Base, OleColor::toQColor(color));
    setPalette(colours);
}

QVariant RichTextBox::SelColor() const
{
    std::optional<quint32> common;
    for (const QTextCharFormat &format : selectionFormats()) {
        const QColor color = format.hasProperty(QTextFormat::ForegroundBrush)
                                 ? format.foreground().color()
                                 : palette().color(QPalette::Text);
        const quint32 value = OleColor::fromQColor(color);
        if (common && *common != value)
            return QVariant();
        common = value;
    }
    return QVariant::fromValue(common.value_or(0));
}

void RichTextBox::setSelColor(quint32 color)
{
    QTextCharFormat format;
    format.setForeground(OleColor::toQColor(color));
    mergeCurrentCharFormat(format);
}

QVariant RichTextBox::SelBold() const
{
    std::optional<bool> common;
    for (const QTextCharFormat &format : selectionFormats()) {
        const bool bold = format.fontWeight() >= QFont::Bold;
        if (common && *common != bold)
            return QVariant();
        common = bold;
    }
    return QVariant(common.value_or(false));
}

void RichTextBox::setSelBold(bool bold)
{
    QTextCharFormat format;
    format.setFontWeight(bold ? QFont::Bold : QFont::Normal);
    mergeCurrentCharFormat(format);
}

TextDocument *RichTextBox::tom() const
{
    if (!m_tom)
        m_tom = new TextDocument(const_cast<RichTextBox *>(this));
    return m_tom;
}

QString RichTextBox::TextRTF() const
{
    return QString::fromLatin1(tom()->Range(0, Tom::tomForward)->Copy());
}

void RichTextBox::setTextRTF(const QString &rtf)
{
    tom()->Range(0, Tom::tomForward)->Paste(CodePage::encode(rtf, CodePage::SystemAnsi));
}

QString RichTextBox::SelRTF() const
{
    const QTextCursor cursor = textCursor();
    return QString::fromLatin1(tom()->Range(cursor.selectionStart(), cursor.selectionEnd())->Copy());
}

void RichTextBox::setSelRTF(const QString &rtf)
{
    const QTextCursor cursor = textCursor();
    std::shared_ptr<TextRange> range = tom()->Range(cursor.selectionStart(), cursor.selectionEnd());
    range->Paste(CodePage::encode(rtf, CodePage::SystemAnsi));
    QTextCursor after = textCursor();
    after.setPosition(range->End());
    setTextCursor(after);
}

void RichTextBox::LoadFile(const QString &path, int fileType)
{
    tom()->Open(path, (fileType == rtfText ? Tom::tomText : Tom::tomRTF) | Tom::tomOpenExisting, 0);
}

void RichTextBox::SaveFile(const QString &path, int fileType)
{
    tom()->Save(path, (fileType == rtfText ? Tom::tomText : Tom::tomRTF) | Tom::tomCreateAlways, 0);
}

bool RichTextBox::canInsertFromMimeData(const QMimeData *source) const
{
    return source->hasImage() || source->hasText() || !rtfOf(source).isEmpty();
}

void RichTextBox::insertFromMimeData(const QMimeData *source)
{
    const QByteArray rtf = rtfOf(source);
    if (!rtf.isEmpty()) {
        const QTextCursor cursor = textCursor();
        std::shared_ptr<TextRange> range = tom()->Range(cursor.selectionStart(), cursor.selectionEnd());
        range->Paste(rtf);
        QTextCursor after = textCursor();
        after.setPosition(range->End());
        setTextCursor(after);
    } else if (source->hasImage()) {
        textCursor().insertImage(qvariant_cast<QImage>(source->imageData()));
    } else if (source->hasText()) {
        insertPlainText(source->text());
    }
    ensureCursorVisible();
}

QMimeData *RichTextBox::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor cursor = textCursor();
    data->setText(toCrLfBreaks(cursor.selectedText()).replace(CRLF, QStringLiteral("\n")));
    data->setData(RtfFormats.first(), tom()->Range(cursor.selectionStart(), cursor.selectionEnd())->Copy());
    return data;
}
