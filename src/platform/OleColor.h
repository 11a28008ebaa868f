#pragma once

#include <QColor>
#include <QtGlobal>

// Colours as the program stores them: 0x00BBGGRR; a value with the top bit set
// names a system colour (0x80000000 | index), taken from the palette.
namespace OleColor {
constexpr quint32 SystemFlag = 0x80000000u;

namespace Sys {
constexpr quint32 ScrollBar = SystemFlag | 0;
constexpr quint32 Desktop = SystemFlag | 1;
constexpr quint32 ActiveCaption = SystemFlag | 2;
constexpr quint32 InactiveCaption = SystemFlag | 3;
constexpr quint32 Menu = SystemFlag | 4;
constexpr quint32 Window = SystemFlag | 5;
constexpr quint32 WindowFrame = SystemFlag | 6;
constexpr quint32 MenuText = SystemFlag | 7;
constexpr quint32 WindowText = SystemFlag | 8;
constexpr quint32 CaptionText = SystemFlag | 9;
constexpr quint32 ActiveBorder = SystemFlag | 10;
constexpr quint32 InactiveBorder = SystemFlag | 11;
constexpr quint32 AppWorkspace = SystemFlag | 12;
constexpr quint32 Highlight = SystemFlag | 13;
constexpr quint32 HighlightText = SystemFlag | 14;
constexpr quint32 ButtonFace = SystemFlag | 15;
constexpr quint32 ButtonShadow = SystemFlag | 16;
constexpr quint32 GrayText = SystemFlag | 17;
constexpr quint32 ButtonText = SystemFlag | 18;
constexpr quint32 InactiveCaptionText = SystemFlag | 19;
constexpr quint32 ButtonHighlight = SystemFlag | 20;
constexpr quint32 DarkShadow3D = SystemFlag | 21;
constexpr quint32 Light3D = SystemFlag | 22;
constexpr quint32 InfoText = SystemFlag | 23;
constexpr quint32 InfoBackground = SystemFlag | 24;
} // namespace Sys

inline bool isSystemColor(quint32 color)
{
    return (color & SystemFlag) != 0;
}
inline constexpr quint32 rgb(int r, int g, int b)
{
    return quint32(r & 0xFF) | (quint32(g & 0xFF) << 8) | (quint32(b & 0xFF) << 16);
}

// The RGB value (0x00BBGGRR) of a colour; system colours are looked up.
// Returns false (and 0) for an unknown system colour or a value with stray high bits.
bool translate(quint32 color, quint32 *rgbOut);
// Convenience: translate(), 0 on failure.
quint32 translateOrZero(quint32 color);

QColor toQColor(quint32 color);
quint32 fromQColor(const QColor &color);
} // namespace OleColor
