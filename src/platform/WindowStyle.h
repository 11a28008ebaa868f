#pragma once

#include <QtGlobal>

class QWidget;

// Window-style bits as the program uses them. The bits that have a meaning for a
// widget (visible, disabled, border, scroll bars, sunken client edge) are read from
// and applied to the widget; the others are kept with it so that they read back.
namespace WindowStyle {
constexpr quint32 WS_VISIBLE = 0x10000000u;
constexpr quint32 WS_DISABLED = 0x08000000u;
constexpr quint32 WS_CHILD = 0x40000000u;
constexpr quint32 WS_CLIPSIBLINGS = 0x04000000u;
constexpr quint32 WS_BORDER = 0x00800000u;
constexpr quint32 WS_VSCROLL = 0x00200000u;
constexpr quint32 WS_HSCROLL = 0x00100000u;
constexpr quint32 WS_TABSTOP = 0x00010000u;
constexpr quint32 ES_MULTILINE = 0x0004u;
constexpr quint32 ES_WANTRETURN = 0x1000u;
constexpr quint32 WS_EX_CLIENTEDGE = 0x00000200u;

quint32 bits(const QWidget *widget, bool extended);
void setBits(QWidget *widget, quint32 bits, bool extended);
} // namespace WindowStyle
