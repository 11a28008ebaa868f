#pragma once

#include <QTextEdit>
#include <QVariant>

class QTextCharFormat;

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
    // Whether the selection is bold, or a null QVariant when it is partly bold.
    QVariant SelBold() const;
    void setSelBold(bool bold);

    bool Locked() const { return isReadOnly(); }
    void setLocked(bool locked) { setReadOnly(locked); }

    // The position after the last character.
    int endPosition() const;

private:
    // The character formats that apply to the selection (the caret's when empty).
    QList<QTextCharFormat> selectionFormats() const;
};
