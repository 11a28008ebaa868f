#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Where the map viewer puts a picture in its viewing area, in pixels: centred,
// fitted (12 px smaller than the area in the limiting direction) or at natural
// size moved by the pan. No widgets; the viewer and the tests call it.
namespace MapLayout {
constexpr double FitMargin = 12;
constexpr double BorderOffset = 2;

struct Placement
{
    bool valid = false; // false: no picture, or one without size
    double scale = 1;
    QRectF picture; // in the viewing area's coordinates
};

// Fitting resets the pan to 0, as the viewer does.
Placement place(QSizeF area, QSizeF picture, bool fit, QPointF &pan);
// One drag step: the pan after the pointer moved from the anchor to the point,
// so that the picture follows the pointer one to one.
QPointF dragged(QPointF pan, QPointF anchor, QPointF point);
} // namespace MapLayout
