#include "platform/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace {
double logicalDpi(bool vertical)
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        if (QScreen *screen = QGuiApplication::primaryScreen()) {
            const double dpi = vertical ? screen->logicalDotsPerInchY() : screen->logicalDotsPerInchX();
            if (dpi > 0)
                return dpi;
        }
    }
    return 96.0;
}

int roundEven(double value)
{
    return int(std::nearbyint(value));
}
} // namespace

namespace Twips {

double perPixelX()
{
    return PerInch / logicalDpi(false);
}
double perPixelY()
{
    return PerInch / logicalDpi(true);
}
int toPixelsX(double twips)
{
    return roundEven(twips / perPixelX());
}
int toPixelsY(double twips)
{
    return roundEven(twips / perPixelY());
}
double fromPixelsX(int pixels)
{
    return pixels * perPixelX();
}
double fromPixelsY(int pixels)
{
    return pixels * perPixelY();
}

QRect rectToPixels(double x, double y, double width, double height)
{
    return QRect(toPixelsX(x), toPixelsY(y), toPixelsX(width), toPixelsY(height));
}

int toPixels(double value, int scaleMode, bool vertical)
{
    if (scaleMode == ScaleMode::Pixels)
        return roundEven(value);
    return vertical ? toPixelsY(value) : toPixelsX(value);
}

} // namespace Twips
