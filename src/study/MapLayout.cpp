#include "study/MapLayout.h"

#include <algorithm>
#include <cmath>

namespace MapLayout {

Placement place(QSizeF area, QSizeF picture, bool fit, QPointF &pan)
{
    Placement result;
    if (!(picture.width() > 0) || !(picture.height() > 0) || !std::isfinite(picture.width()) ||
        !std::isfinite(picture.height()))
        return result;
    if (fit) {
        const double sx = (area.width() - FitMargin) / picture.width();
        const double sy = (area.height() - FitMargin) / picture.height();
        // An area smaller than the margin shows nothing rather than a mirrored picture.
        result.scale = std::max(0.0, std::min(sx, sy));
        pan = QPointF(0, 0);
    }
    const double width = result.scale * picture.width();
    const double height = result.scale * picture.height();
    result.picture = QRectF((area.width() - width) / 2 - BorderOffset - pan.x(),
                            (area.height() - height) / 2 - BorderOffset - pan.y(), width, height);
    result.valid = true;
    return result;
}

QPointF dragged(QPointF pan, QPointF anchor, QPointF point)
{
    return pan + (anchor - point);
}

} // namespace MapLayout
