#pragma once

#include <QTextEdit>

class TextDocument;

// The rich-edit window of the reading pane: a rich text editor that a library
// creates by its window class name (registerClass) and drives through its Text
// Object Model document (oleInterface). Which notifications are wanted is its
// eventMask, read by whoever relays them.
class RichEditWidget : public QTextEdit
{
    Q_OBJECT
    Q_PROPERTY(quint32 eventMask READ eventMask WRITE setEventMask)

public:
    // Wrap widths from this many twips on (about 69 inches, wider than any page or
    // screen) mean "never wrap".
    static constexpr int NoWrapTwips = 100000;

    Q_INVOKABLE explicit RichEditWidget(QWidget *parent = nullptr);
    ~RichEditWidget() override;

    // Registers the class with Qt's meta-type system under its window class name,
    // so that QMetaType::fromName(name).metaObject()->newInstance(...) creates one.
    static void registerClass();

    // The TextDocument of the window, as a QObject for callers that know no more.
    Q_INVOKABLE QObject *oleInterface() const;
    TextDocument *textDocument() const { return m_textDocument; }

    quint32 eventMask() const { return m_eventMask; }
    void setEventMask(quint32 mask) { m_eventMask = mask; }

    // colour is 0x00BBGGRR; with useSystemColour the window takes the system's
    // window colour (and follows it) instead.
    void setBackgroundColor(quint32 colour, bool useSystemColour);
    QColor backgroundColor() const;

    // 0 wraps lines at the window's edge, a positive width (twips) wraps them there,
    // NoWrapTwips and more turn wrapping off (a horizontal scroll bar appears).
    void setWrapWidth(int twips);
    int wrapWidth() const { return m_wrapTwips; }

protected:
    // RTF on the clipboard is pasted with its formatting; RTF is offered on copy.
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;
    QMimeData *createMimeDataFromSelection() const override;

private:
    TextDocument *m_textDocument;
    quint32 m_eventMask = 0;
    int m_wrapTwips = 0;
};
