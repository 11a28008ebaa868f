#include "controls/FlatButton_.h"

#include "abi/VirtualKeys.h"
#include "controls/WinApi_.h"
#include "core/Bug_.h"
#include "platform/OleColor.h"
#include "platform/Twips.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QTimer>
#include <algorithm>
#include <cmath>

namespace {
// Hover tracking runs at this interval until the first press sets another.
constexpr int TrackingInterval = 200;
constexpr int FirstRepeatDelay = 400;
constexpr int RepeatInterval = 50;
} // namespace

FlatButton_::FlatButton_(QWidget *parent)
    : QWidget(parent)
{
    Timer1 = new QTimer(this);
    Timer1->setInterval(TrackingInterval);
    connect(Timer1, &QTimer::timeout, this, [this] { IgnoreErrors([this] { Timer1_Timer(); }); });
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
}

FlatButton_::~FlatButton_() = default;

void FlatButton_::setCaption(const QString &sNew)
{
    m_caption = sNew;
    FollowCaptionFit();
    WinApi_::InvalidateWholeWindow(this);
}

void FlatButton_::setGlyph(const QString &sNew)
{
    m_glyph = sNew;
    FollowCaptionFit();
    WinApi_::InvalidateWholeWindow(this);
}

std::shared_ptr<QFont> FlatButton_::GlyphFont()
{
    if (!m_glyphFont)
        m_glyphFont = std::make_shared<QFont>();
    return m_glyphFont;
}

void FlatButton_::setGlyphFont(std::shared_ptr<QFont> fontNew)
{
    m_glyphFont = std::move(fontNew);
    FollowCaptionFit();
}

void FlatButton_::setAlignment(qint32 algnNew)
{
    m_alignment = algnNew;
}

void FlatButton_::Refresh()
{
    repaint();
}

bool FlatButton_::pointerIsOver() const
{
    return WinApi_::WindowUnderCursor() == this;
}

bool FlatButton_::leftButtonDown() const
{
    return WinApi_::IsKeyDown(VK::LButton);
}

void FlatButton_::Timer1_Timer()
{
    if (!pointerIsOver()) {
        WinApi_::InvalidateWholeWindow(this);
        Timer1->stop();
    } else if (leftButtonDown() && ClickOnMouseHold) {
        Timer1->start(RepeatInterval);
        emit Click();
    }
}

FlatButton_::Layout FlatButton_::layout() const
{
    Layout run;
    // Without a glyph font of its own the glyph is drawn in the control's font.
    run.glyphFont = m_glyphFont ? *m_glyphFont : font();
    const QFontMetricsF captionMetrics(font(), this);
    const QFontMetricsF glyphMetrics(run.glyphFont, this);
    const qreal glyphWidth = glyphMetrics.horizontalAdvance(m_glyph);
    // The run keeps a pixel clear of each edge.
    const qreal room = width() - 2 - glyphWidth;
    run.caption = m_caption;
    if (captionMetrics.horizontalAdvance(m_caption) > room)
        run.caption = captionMetrics.elidedText(m_caption, Qt::ElideRight, std::max<qreal>(0, room));
    const qreal captionWidth = captionMetrics.horizontalAdvance(run.caption);
    run.width = captionWidth + glyphWidth;
    run.height = qMax(captionMetrics.height(), glyphMetrics.height());

    const qreal p = m_pressed ? 1 : 0;
    qreal x = 0;
    switch (m_alignment) {
    case 0:
        x = 1 + p;
        break;
    case 1:
        x = width() - run.width + p;
        break;
    case 2:
        x = (width() - run.width) / 2 + p;
        break;
    default:
        break; // an unknown alignment draws from the left edge
    }
    run.glyphAt = QPointF(x, (height() - glyphMetrics.height()) / 2 + p);
    run.captionAt = QPointF(x + glyphWidth, (height() - captionMetrics.height()) / 2 + p);
    return run;
}

QRectF FlatButton_::textBounds() const
{
    const Layout run = layout();
    return QRectF(run.glyphAt.x(), qMin(run.glyphAt.y(), run.captionAt.y()), run.width, run.height);
}

QString FlatButton_::ShownCaption() const
{
    return layout().caption;
}

int FlatButton_::WidthFor(const QString &caption) const
{
    const QFont glyphFont = m_glyphFont ? *m_glyphFont : font();
    const qreal run = QFontMetricsF(glyphFont, this).horizontalAdvance(m_glyph) +
                      QFontMetricsF(font(), this).horizontalAdvance(caption);
    return int(std::ceil(run)) + 2;
}

void FlatButton_::FollowCaptionFit()
{
    const QString shown = ShownCaption();
    setToolTip(shown == m_caption ? QString() : m_caption);
}

void FlatButton_::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    FollowCaptionFit();
}

void FlatButton_::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        FollowCaptionFit();
}

void FlatButton_::paintEvent(QPaintEvent *)
{
    IgnoreErrors([this] {
        // A glyph font changed in place is seen here first.
        FollowCaptionFit();
        QPainter painter(this);
        painter.setPen(palette().color(QPalette::WindowText));
        const Layout run = layout();
        painter.setFont(run.glyphFont);
        painter.drawText(run.glyphAt + QPointF(0, QFontMetricsF(run.glyphFont, this).ascent()), m_glyph);
        painter.setFont(font());
        painter.drawText(run.captionAt + QPointF(0, QFontMetricsF(font(), this).ascent()), run.caption);

        if (pointerIsOver()) {
            paintEdge(painter);
            // Hover tracking keeps its current interval; a running timer is left alone
            // so that repainting never delays a repeat.
            if (!Timer1->isActive())
                Timer1->start();
        }
        if (m_hasFocus)
            WinApi_::DrawFocusRectangle(&painter, 1, 1, width() - 2, height() - 2, Twips::ScaleMode::Pixels);
    });
}

void FlatButton_::paintEdge(QPainter &painter)
{
    const QColor shadow = OleColor::toQColor(OleColor::Sys::ButtonShadow);
    const QColor highlight = OleColor::toQColor(OleColor::Sys::ButtonHighlight);
    // The sunken look follows the physical button, the text offset the pressed flag.
    const bool sunken = leftButtonDown();
    const QColor topLeft = sunken ? shadow : highlight;
    const QColor bottomRight = sunken ? highlight : shadow;
    const int right = width() - 1;
    const int bottom = height() - 1;
    painter.setPen(topLeft);
    painter.drawLine(0, 0, right, 0);
    painter.drawLine(0, 0, 0, bottom);
    painter.setPen(bottomRight);
    painter.drawLine(0, bottom, right, bottom);
    painter.drawLine(right, 0, right, bottom);
}

void FlatButton_::UserControl_MouseDown(const QString &routine)
{
    DeferredErrors errors(routine);
    m_pressed = true;
    const int hidesBefore = m_hides;
    errors.step([this] { emit MouseDown(); });
    if (ClickOnMouseDown)
        errors.step([this] { emit Click(); });
    // A host that hides the button from its Click (a scroll button at the end of
    // its list) has ended the press already.
    if (m_hides == hidesBefore)
        Timer1->start(FirstRepeatDelay);
    WinApi_::InvalidateWholeWindow(this);
}

void FlatButton_::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    m_clickArmed = true;
    UserControl_MouseDown(QStringLiteral("FlatButton_.UserControl_MouseDown()"));
}

void FlatButton_::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    // The second press of a double click is a press of its own, so a fast second
    // press still scrolls or drops down; it is not followed by an ordinary click.
    m_clickArmed = false;
    UserControl_MouseDown(QStringLiteral("FlatButton_.UserControl_DblClick()"));
}

void FlatButton_::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_clickArmed && rect().contains(event->position().toPoint());
    m_clickArmed = false;
    {
        DeferredErrors errors(QStringLiteral("FlatButton_.UserControl_MouseUp()"));
        m_pressed = false;
        Timer1->stop();
        errors.step([this] { emit MouseUp(); });
        WinApi_::InvalidateWholeWindow(this);
    }
    if (click && !ClickOnMouseDown) {
        DeferredErrors errors(QStringLiteral("FlatButton_.UserControl_Click()"));
        errors.step([this] { emit Click(); });
    }
}

void FlatButton_::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    WinApi_::InvalidateWholeWindow(this);
}

void FlatButton_::keyPressEvent(QKeyEvent *event)
{
    const bool down = VirtualKeys::fromEvent(event) == VK::Down;
    const QString text = event->text();
    const bool enterOrSpace = text == QLatin1String("\r") || text == QLatin1String(" ");
    if (!down && !enterOrSpace) {
        QWidget::keyPressEvent(event);
        return;
    }
    event->accept();
    DeferredErrors errors(down ? QStringLiteral("FlatButton_.UserControl_KeyDown()")
                               : QStringLiteral("FlatButton_.UserControl_KeyPress()"));
    errors.step([this] { emit Click(); });
}

void FlatButton_::focusInEvent(QFocusEvent *event)
{
    m_hasFocus = true;
    WinApi_::InvalidateWholeWindow(this);
    QWidget::focusInEvent(event);
}

void FlatButton_::focusOutEvent(QFocusEvent *event)
{
    m_hasFocus = false;
    WinApi_::InvalidateWholeWindow(this);
    QWidget::focusOutEvent(event);
}

void FlatButton_::hideEvent(QHideEvent *event)
{
    // A hidden button gets no mouse-up: end the repetition and the pressed look here.
    Timer1->stop();
    m_pressed = false;
    m_clickArmed = false;
    ++m_hides;
    QWidget::hideEvent(event);
}
