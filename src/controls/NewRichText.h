#pragma once

#include "core/ArrayDictionary_.h"
#include "core/ReadingPane.h"

#include <QSizeF>
#include <QString>
#include <QWidget>
#include <memory>

class RichEditWidget;
class TextDocument;
class TextFont;
class TextRange;
class TextSelection;

// The reading pane: a rich-edit window made by the helper library inside this
// control, driven through the Text Object Model. It keeps named styles, appends
// text in a named style, and turns the notifications the library relays into
// the events below.
class NewRichText : public QWidget, public ReadingPane
{
    Q_OBJECT
public:
    explicit NewRichText(QWidget *parent = nullptr);
    ~NewRichText() override;

    std::shared_ptr<TextFont> GetNamedStyle(const QString &name) const;
    // spec: "font name,size,switches" (B bold, I italic, P superscript, C small
    // capitals, U underline, T strike-through; upper case on, lower case off).
    // A font passed in is changed and stored itself; the stored font is returned.
    std::shared_ptr<TextFont> AddNamedStyle(const QString &name, const QString &spec,
                                            std::shared_ptr<TextFont> font = nullptr);
    void AppendFormattedText(const QString &text, const QString &style) override;

    QString Text() const;
    void setText(const QString &text);
    std::shared_ptr<TextSelection> Selection() const;
    int SelAlignment() const;
    void setSelAlignment(int value);
    int SelBold() const;
    void setSelBold(int value);
    int SelItalic() const;
    void setSelItalic(int value);
    int SelUnderline() const;
    void setSelUnderline(int value);
    int SelColor() const;
    void setSelColor(int value);
    QString SelFontName() const;
    void setSelFontName(const QString &value);
    float SelFontSize() const;
    void setSelFontSize(float value);
    float SelIndent() const;
    void setSelIndent(float value);
    // The wrap width in twips: 0 wraps at the pane's edge; a large value turns
    // wrapping off (one line never wraps) with a horizontal scroll bar.
    int RightMargin() const;
    void setRightMargin(int twips);
    std::shared_ptr<TextFont> Font() const;
    void setFont(const TextFont &font);
    int SelStart() const;
    void setSelStart(int value);
    int SelLength() const;
    void setSelLength(int value);
    QString SelText() const;
    void setSelText(const QString &text);
    TextDocument *textDocument() const { return m_document; }
    std::shared_ptr<TextRange> Range(int start, int end) const;
    quint32 BackColor() const { return m_backColor; }
    void setBackColor(quint32 colour);
    // Searches from the 1-based position start to the end, ignoring case; a straight
    // quote matches its typographic forms (' matches ‘ and ’, " matches “ and ”).
    // Selects the match and returns its 1-based position, 0 when there is none.
    int Find(const QString &text, int start);
    void SaveFile(const QString &path, int flags);
    void LoadFile(const QString &path, int flags);
    void SelPrint();
    int BulletIndent() const { return 0; }
    void setBulletIndent(int) {}
    // The rich-edit window (null when the helper library could not make one).
    RichEditWidget *hwnd() const { return m_window; }
    QWidget *hwndUserControl() { return this; }
    QString SelRtf() const;
    void setSelRtf(const QString &rtf);
    QString TextRTF() const;
    void setTextRTF(const QString &rtf);
    void SetRtf(const QString &rtf, const std::shared_ptr<TextRange> &range);

    // ReadingPane: how a book is written into the pane.
    void BeginFill() override;
    void EndFill() override;
    void AppendPlainText(const QString &text) override;
    // One pass through one cursor in one edit block, each style looked up once.
    void AppendRuns(const std::vector<StyledRun> &runs) override;
    void SetSelection(int start, int length) override;
    void SmartQuotes(QString &text, const QString &quotes) override;
    void FixSpacesAndDashes(QString &text) override;

Q_SIGNALS:
    void Change();
    void SelChange();
    void Click();
    void KeyDown(int &KeyCode, int &Shift);
    void KeyUp(int &KeyCode, int &Shift);
    void MouseDown(int Button, int Shift, float X, float Y);
    void MouseMove(int Button, int Shift, float X, float Y);
    void MouseUp(int Button, int Shift, float X, float Y);

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void Relay(int modifierMask);
    void RelayMessageFilter(quintptr hwndFrom, quint32 code, quint32 msg, quintptr wParam, qintptr lParam,
                            int modifierMask);
    QString ReadRangeRtf(const std::shared_ptr<TextRange> &range) const;
    std::shared_ptr<TextRange> EndOfStory() const;
    TextDocument *requireDocument() const;
    // Between the two the document is frozen and lays nothing out.
    void DeferLayout();
    void ResumeLayout();

    quint16 m_rtfFormat = 0;
    RichEditWidget *m_window = nullptr;
    TextDocument *m_document = nullptr;
    quint32 m_backColor = 0;
    ArrayDictionary_ m_styles;
    int m_fillDepth = 0;
    QSizeF m_pageSize; // the page size while layout is deferred
};
