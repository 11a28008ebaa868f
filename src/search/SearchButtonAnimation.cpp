#include "search/SearchButtonAnimation.h"

#include <QAbstractButton>
#include <QPainter>
#include <QTimer>

SearchButtonAnimation::SearchButtonAnimation(QAbstractButton *button, QTimer *timer)
    : m_button(button)
    , m_timer(timer)
{
}

void SearchButtonAnimation::Step()
{
    if (m_frames.isEmpty())
        DrawFrames();
    m_frame = (m_frame + 1) % Frames;
    m_button->setIcon(m_frames[m_frame]);
    if (m_frame == 0 && ++m_cycles > FastCycles)
        m_timer->setInterval(SlowMilliseconds);
}

void SearchButtonAnimation::DrawFrames()
{
    const QPixmap picture = m_button->icon().pixmap(m_button->iconSize());
    for (int frame = 0; frame < Frames; ++frame) {
        QPixmap turned(picture.size());
        turned.setDevicePixelRatio(picture.devicePixelRatio());
        turned.fill(Qt::transparent);
        QPainter painter(&turned);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QSizeF size = picture.deviceIndependentSize();
        painter.translate(size.width() / 2, size.height() / 2);
        painter.rotate(-360.0 / Frames * frame);
        painter.drawPixmap(QPointF(-size.width() / 2, -size.height() / 2), picture);
        painter.end();
        m_frames.append(QIcon(turned));
    }
}
