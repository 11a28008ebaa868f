#pragma once

#include <QRect>

// Lengths on the forms side are twips: 1440 per inch.
namespace Twips {
constexpr double PerInch = 1440.0;
double perPixelX();
double perPixelY();
// Whole pixels, rounded half to even.
int toPixelsX(double twips);
int toPixelsY(double twips);
double fromPixelsX(int pixels);
double fromPixelsY(int pixels);
// A rectangle given as x, y, width, height in twips.
QRect rectToPixels(double x, double y, double width, double height);

// Scale modes as the runtime numbers them.
namespace ScaleMode {
constexpr int Twips = 1;
constexpr int Pixels = 3;
} // namespace ScaleMode
// A length in the given scale mode as whole pixels.
int toPixels(double value, int scaleMode, bool vertical);
} // namespace Twips
