#pragma once

#include <QTextEdit>
#include <QVariant>

class QMimeData;
class QTextCharFormat;
class QTextCursor;
class TextDocument;

// The character formats of the fragments the cursor's selection covers, or the
// cursor's own format when it covers none.
QList<QTextCharFormat> SelectedFragmentFormats(const QTextCursor &cursor);

// The rich text box that forms place on themselves: a text editor driven through
// its text and selection properties. Positions are 0-based character positions of
// the document, where a line break counts as one character. Text and SelText give
// line breaks as CR LF and take CR LF, LF or CR.
class RichTextBox : public QTextEdit
{
    Q_OBJECT

public:
    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const;
    void setText(const QString &text);

    // Setting SelStart collapses the selection; past the end means the end.
    int SelStart() const;
    void setSelStart(int position);
    // The selection runs from SelStart; past the end means up to the end.
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    // Replaces the selection with plain text in the current character format and
    // leaves the caret after it, scrolled into view.
    void setSelText(const QString &text);

    // The selection's colour as 0x00BBGGRR, or a null QVariant when it mixes colours.
    QVariant SelColor() const;
    void setSelColor(quint32 color);
    // The colour behind the text as 0x00BBGGRR; a new one shows at once.
    quint32 BackColor() const;
    void setBackColor(quint32 color);
    // Whether the selection is bold, or a null QVariant when it is partly bold.
    QVariant SelBold() const;
    void setSelBold(bool bold);

    // The whole text, or the selection, as RTF; setting replaces it with the text
    // and formatting of an RTF text.
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);
    QString SelRTF() const;
    void setSelRTF(const QString &rtf);

    // File types of LoadFile and SaveFile.
    static constexpr int rtfRTF = 0;
    static constexpr int rtfText = 1;
    // Replaces the text with a file (RTF, or plain text in the system code page);
    // a file that cannot be read raises a RuntimeError and leaves the text as it was.
    void LoadFile(const QString &path, int fileType = rtfRTF);
    // Writes the text to a file atomically; failures raise a RuntimeError.
    void SaveFile(const QString &path, int fileType = rtfRTF);

    // Twips from the box's left edge at which lines wrap; 0 (or less) wraps them
    // at the box's edge, NoWrapTwips and more turn wrapping off.
    float RightMargin() const { return m_rightMargin; }
    void setRightMargin(float twips);
    static constexpr float NoWrapTwips = 100000;
    // The left indent of the selected paragraphs in twips (the first one's).
    float SelIndent() const;
    void setSelIndent(float twips);
    // Moves the whole text to a page margin of `twips`: every paragraph keeps its
    // own indent beyond the margin it shares with the others, and every list item
    // the room of its marker (see ParagraphIndents).
    void setPageIndent(float twips);

    // A locked box takes no typing or pasting but keeps its caret, which the
    // keys move and extend as in any text box.
    bool Locked() const { return isReadOnly(); }
    void setLocked(bool locked);

    // The position after the last character.
    int endPosition() const;

protected:
    // The clipboard and drops take rich text (RTF), pictures and plain text, never
    // HTML; a copy offers RTF beside the plain text.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    TextDocument *tom() const;
    // The character formats that apply to the selection (the caret's when empty).
    QList<QTextCharFormat> selectionFormats() const;

    mutable TextDocument *m_tom = nullptr;
    float m_rightMargin = 0;
};
