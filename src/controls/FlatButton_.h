#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QWidget>
#include <memory>

class QTimer;

// A button that stays flat until the pointer is over it: a raised edge while it
// hovers, a sunken one while the left button is held. It shows a glyph (in its
// glyph font) followed by a caption (in its own font), can raise Click already on
// the mouse-down, and can repeat Click while the left button is held. A caption
// too long for the button is cut short with "…" and shown whole in its tool tip.
//
// Timer1 tracks the pointer while it hovers and drives the repetition. Its tick
// handler is public and the two questions it asks (is the pointer over the button,
// is the left button down) are virtual, so a test can stand in for the clock and
// the mouse.
class FlatButton_ : public QWidget
{
    Q_OBJECT

public:
    explicit FlatButton_(QWidget *parent = nullptr);
    ~FlatButton_() override;

    // A left mouse-down raises Click at once; the ordinary click then raises nothing.
    bool ClickOnMouseDown = false;
    // While the left button is held over the button, Click repeats.
    bool ClickOnMouseHold = false;

    QString Caption() const { return m_caption; }
    void setCaption(const QString &sNew);
    // The control's own font, that of the caption (set with QWidget::setFont).
    QFont Font() const { return font(); }
    QString Glyph() const { return m_glyph; }
    void setGlyph(const QString &sNew);
    // A default font is made on the first read when none was set; later reads give
    // the same object, so a caller may change it in place.
    std::shared_ptr<QFont> GlyphFont();
    void setGlyphFont(std::shared_ptr<QFont> fontNew);
    // 0 left, 1 right, 2 centred (glyph and caption as one run).
    qint32 Alignment() const { return m_alignment; }
    void setAlignment(qint32 algnNew);
    // Repaints at once.
    void Refresh();

    QTimer *Timer1 = nullptr;
    void Timer1_Timer();

    // Where the glyph and the caption are drawn, in pixels, as one run.
    QRectF textBounds() const;
    // The caption as drawn: whole, or cut short to fit the button.
    QString ShownCaption() const;
    // The width at which the glyph and `caption` show whole.
    int WidthFor(const QString &caption) const;

signals:
    void Click();
    void MouseDown();
    void MouseUp();

protected:
    // Whether the pointer is over this button's own window.
    virtual bool pointerIsOver() const;
    // Whether the left mouse button is down now (its physical state).
    virtual bool leftButtonDown() const;

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    struct Layout
    {
        QFont glyphFont;
        QString caption;
        QPointF glyphAt;
        QPointF captionAt;
        qreal width = 0;
        qreal height = 0;
    };
    Layout layout() const;
    void UserControl_MouseDown(const QString &routine);
    void paintEdge(QPainter &painter);
    // The tool tip holds the caption whenever the button cuts it short.
    void FollowCaptionFit();

    QString m_caption;
    QString m_glyph;
    std::shared_ptr<QFont> m_glyphFont;
    qint32 m_alignment = 2;
    bool m_pressed = false;
    bool m_hasFocus = false;
    // The press began on this button (not as the second press of a double click),
    // so its release is an ordinary click.
    bool m_clickArmed = false;
    int m_hides = 0;
};
