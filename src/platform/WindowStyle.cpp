#include "platform/WindowStyle.h"

#include <QAbstractScrollArea>
#include <QFrame>
#include <QVariant>
#include <QWidget>

namespace {
const char *propertyName(bool extended)
{
    return extended ? "vxExStyleBits" : "vxStyleBits";
}

bool hasFrame(const QWidget *widget)
{
    auto *frame = qobject_cast<const QFrame *>(widget);
    return frame && frame->frameShape() != QFrame::NoFrame;
}

void setFrame(QWidget *widget, bool on, QFrame::Shadow shadow)
{
    if (auto *frame = qobject_cast<QFrame *>(widget)) {
        frame->setFrameShape(on ? QFrame::StyledPanel : QFrame::NoFrame);
        frame->setFrameShadow(shadow);
    }
}

bool scrollBarShown(const QWidget *widget, Qt::Orientation orientation)
{
    auto *area = qobject_cast<const QAbstractScrollArea *>(widget);
    if (!area)
        return false;
    const Qt::ScrollBarPolicy policy =
        orientation == Qt::Vertical ? area->verticalScrollBarPolicy() : area->horizontalScrollBarPolicy();
    return policy != Qt::ScrollBarAlwaysOff;
}

void setScrollBar(QWidget *widget, Qt::Orientation orientation, bool on)
{
    auto *area = qobject_cast<QAbstractScrollArea *>(widget);
    if (!area || scrollBarShown(widget, orientation) == on)
        return;
    const Qt::ScrollBarPolicy policy = on ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
    if (orientation == Qt::Vertical)
        area->setVerticalScrollBarPolicy(policy);
    else
        area->setHorizontalScrollBarPolicy(policy);
}

quint32 flag(bool on, quint32 bit)
{
    return on ? bit : 0;
}
} // namespace

namespace WindowStyle {

quint32 bits(const QWidget *widget, bool extended)
{
    if (!widget)
        return 0;
    quint32 value = widget->property(propertyName(extended)).toUInt();
    if (extended) {
        value &= ~WS_EX_CLIENTEDGE;
        const auto *frame = qobject_cast<const QFrame *>(widget);
        value |= flag(hasFrame(widget) && frame->frameShadow() == QFrame::Sunken, WS_EX_CLIENTEDGE);
        return value;
    }
    value &= ~(WS_VISIBLE | WS_DISABLED | WS_CHILD | WS_BORDER | WS_VSCROLL | WS_HSCROLL);
    value |= flag(!widget->isHidden(), WS_VISIBLE);
    // The control's own state, not one inherited from a disabled parent.
    value |= flag(!widget->isEnabledTo(widget->parentWidget()), WS_DISABLED);
    value |= flag(!widget->isWindow(), WS_CHILD);
    const auto *frame = qobject_cast<const QFrame *>(widget);
    value |= flag(hasFrame(widget) && frame->frameShadow() != QFrame::Sunken, WS_BORDER);
    value |= flag(scrollBarShown(widget, Qt::Vertical), WS_VSCROLL);
    value |= flag(scrollBarShown(widget, Qt::Horizontal), WS_HSCROLL);
    return value;
}

void setBits(QWidget *widget, quint32 value, bool extended)
{
    if (!widget)
        return;
    const quint32 before = bits(widget, extended);
    widget->setProperty(propertyName(extended), value);
    const quint32 changed = before ^ value;
    if (extended) {
        if (changed & WS_EX_CLIENTEDGE)
            setFrame(widget, value & WS_EX_CLIENTEDGE, QFrame::Sunken);
        return;
    }
    if (changed & WS_BORDER)
        setFrame(widget, value & WS_BORDER, QFrame::Plain);
    if (changed & WS_VSCROLL)
        setScrollBar(widget, Qt::Vertical, value & WS_VSCROLL);
    if (changed & WS_HSCROLL)
        setScrollBar(widget, Qt::Horizontal, value & WS_HSCROLL);
    if (changed & WS_DISABLED)
        widget->setEnabled(!(value & WS_DISABLED));
    if (changed & WS_VISIBLE)
        widget->setVisible(value & WS_VISIBLE);
}

} // namespace WindowStyle
