#pragma once

#include <QRect>
#include <QString>
#include <QtGlobal>
#include <memory>

class ArrayDictionary_;
class QLibrary;
class QPainter;
class QWidget;

// Small window-system services for the controls and windows: style bits, window
// placement, focus rectangles and repainting given in twips, the window under the
// mouse pointer, key state, and pictures on menu items. A window is a QWidget, a
// drawing surface a QPainter, a menu a QMenuBar or QMenu.
namespace WinApi_ {

// Flags of SetWindowPosition.
constexpr quint32 SWP_NOSIZE = 0x0001;
constexpr quint32 SWP_NOMOVE = 0x0002;
constexpr quint32 SWP_NOZORDER = 0x0004;
constexpr quint32 SWP_NOACTIVATE = 0x0010;
constexpr quint32 SWP_SHOWWINDOW = 0x0040;
constexpr quint32 SWP_HIDEWINDOW = 0x0080;

// The two z-order places that are not "behind that window".
enum class ZOrder { Top, Bottom };

// Shows the window (hidden before, for instance by clearing WS_VISIBLE).
void ShowWindowDefault(QWidget *hwnd);

// Moves, sizes, restacks and shows or hides a window; x, y, cx, cy in pixels,
// relative to the parent for a child window. insertAfter is the sibling to stack
// the window behind; nullptr puts it on top. False when there is no window.
bool SetWindowPosition(QWidget *hwnd, QWidget *insertAfter, int x, int y, int cx, int cy, quint32 flags);
bool SetWindowPosition(QWidget *hwnd, ZOrder insertAfter, int x, int y, int cx, int cy, quint32 flags);

// The loaded library, or nullptr when it cannot be loaded. Destroying the handle
// leaves the library loaded, as resolved functions may still be in use.
std::unique_ptr<QLibrary> LoadLibraryByName(const QString &fileName);

// The window's style bits (WindowStyle::WS_...), or its extended style bits.
quint32 GetWindowStyleBits(const QWidget *hwnd, bool extended);
// New style = (old AND mask) XOR bits: the mask clears bits, the bits toggle them.
void ModifyWindowStyle(QWidget *hwnd, quint32 mask, quint32 bits, bool extended);

// A rectangle given as x, y, width, height in a scale mode (Twips::ScaleMode) as
// whole pixels; each of the four is converted and rounded on its own, so the
// right edge is round(x) + round(width).
QRect pixelRect(int x, int y, int width, int height, int scaleMode);

// Draws a dotted focus rectangle. On raster surfaces it inverts the pixels, so it
// shows on any background and drawing it again removes it.
void DrawFocusRectangle(QPainter *dc, int x, int y, int width, int height, int scaleMode);
// Schedules a repaint of the whole window, or of a rectangle in it.
void InvalidateWholeWindow(QWidget *hwnd);
void InvalidateRectangle(QWidget *hwnd, int x, int y, int width, int height, int scaleMode);

// The innermost widget under the mouse pointer, nullptr when it is over none of ours.
QWidget *WindowUnderCursor();

// Whether the key (a virtual-key code; 1 is the left mouse button) is down now.
bool IsKeyDown(int virtualKey);

// Puts pictures on menu items of the window's menu bar. pictures maps the caption
// of a top-level menu to an ArrayDictionary_ (held as std::shared_ptr) that maps
// the caption of an item directly in that menu to a QIcon, QPixmap or QImage.
// Captions are compared exactly, "&" included, shortcut text after a Tab left out.
void ApplyMenuBitmaps(QWidget *hwnd, const ArrayDictionary_ &pictures);

// The caption of the item at a position of a menu bar or menu: its text up to a
// Tab that is not its first character; "" for a separator or a position outside.
QString GetMenuItemCaption(const QWidget *menu, int position);

} // namespace WinApi_
