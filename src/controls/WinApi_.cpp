#include "controls/WinApi_.h"

#include "core/ArrayDictionary_.h"
#include "platform/KeyState.h"
#include "platform/Twips.h"
#include "platform/WindowStyle.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QIcon>
#include <QImage>
#include <QLibrary>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>
#include <QWidget>

namespace {

// The window's menu bar, without creating one (QMainWindow::menuBar() would).
QMenuBar *menuBarOf(QWidget *window)
{
    if (auto *main = qobject_cast<QMainWindow *>(window))
        return qobject_cast<QMenuBar *>(main->menuWidget());
    return window->findChild<QMenuBar *>(QString(), Qt::FindDirectChildrenOnly);
}

QAction *actionAt(const QWidget *menu, int position)
{
    if (!menu)
        return nullptr;
    const QList<QAction *> actions = menu->actions();
    return position >= 0 && position < actions.size() ? actions.at(position) : nullptr;
}

std::shared_ptr<ArrayDictionary_> dictionaryOf(const QVariant &value)
{
    if (auto shared = value.value<std::shared_ptr<ArrayDictionary_>>())
        return shared;
    if (value.metaType() == QMetaType::fromType<ArrayDictionary_>())
        return std::make_shared<ArrayDictionary_>(value.value<ArrayDictionary_>());
    return nullptr;
}

// A picture of the map as an icon; false when the value holds no picture.
bool iconOf(const QVariant &value, QIcon &icon)
{
    switch (value.typeId()) {
    case QMetaType::QIcon:
        icon = value.value<QIcon>();
        return true;
    case QMetaType::QPixmap:
        icon = QIcon(value.value<QPixmap>());
        return true;
    case QMetaType::QImage:
        icon = QIcon(QPixmap::fromImage(value.value<QImage>()));
        return true;
    default:
        return false;
    }
}

void applyToMenu(QMenu *menu, const ArrayDictionary_ &pictures)
{
    const QList<QAction *> items = menu->actions();
    for (int j = 0; j < items.size(); ++j) {
        const QVariant picture = pictures.FindByKey(WinApi_::GetMenuItemCaption(menu, j));
        QIcon icon;
        if (picture.isValid() && iconOf(picture, icon))
            items.at(j)->setIcon(icon);
    }
}

// Every other pixel of the rectangle's edge, starting at its top-left corner, each
// pixel once: inverting one twice would take it out again.
QPolygon focusFramePoints(const QRect &rect)
{
    QPolygon points;
    const auto add = [&](int px, int py) {
        if ((px - rect.left() + py - rect.top()) % 2 == 0)
            points << QPoint(px, py);
    };
    for (int px = rect.left(); px <= rect.right(); ++px) {
        add(px, rect.top());
        if (rect.bottom() != rect.top())
            add(px, rect.bottom());
    }
    for (int py = rect.top() + 1; py < rect.bottom(); ++py) {
        add(rect.left(), py);
        if (rect.right() != rect.left())
            add(rect.right(), py);
    }
    return points;
}

enum class Placement { Behind, Top, Bottom };

bool setPosition(QWidget *hwnd, Placement placement, QWidget *behind, int x, int y, int cx, int cy,
                 quint32 flags)
{
    using namespace WinApi_;
    if (!hwnd)
        return false;
    if (!(flags & SWP_NOMOVE))
        hwnd->move(x, y);
    if (!(flags & SWP_NOSIZE))
        hwnd->resize(qMax(0, cx), qMax(0, cy));
    if (!(flags & SWP_NOZORDER)) {
        if (placement == Placement::Bottom)
            hwnd->lower();
        else if (placement == Placement::Behind && behind)
            hwnd->stackUnder(behind);
        else
            hwnd->raise();
    }
    if (flags & SWP_SHOWWINDOW)
        hwnd->show();
    else if (flags & SWP_HIDEWINDOW)
        hwnd->hide();
    if (!(flags & SWP_NOACTIVATE) && hwnd->isWindow() && hwnd->isVisible())
        hwnd->activateWindow();
    return true;
}

} // namespace

namespace WinApi_ {

void ShowWindowDefault(QWidget *hwnd)
{
    if (hwnd)
        hwnd->show();
}

bool SetWindowPosition(QWidget *hwnd, QWidget *insertAfter, int x, int y, int cx, int cy, quint32 flags)
{
    return setPosition(hwnd, Placement::Behind, insertAfter, x, y, cx, cy, flags);
}

bool SetWindowPosition(QWidget *hwnd, ZOrder insertAfter, int x, int y, int cx, int cy, quint32 flags)
{
    const Placement placement = insertAfter == ZOrder::Bottom ? Placement::Bottom : Placement::Top;
    return setPosition(hwnd, placement, nullptr, x, y, cx, cy, flags);
}

std::unique_ptr<QLibrary> LoadLibraryByName(const QString &fileName)
{
    auto library = std::make_unique<QLibrary>(fileName);
    if (fileName.isEmpty() || !library->load())
        return nullptr;
    return library;
}

quint32 GetWindowStyleBits(const QWidget *hwnd, bool extended)
{
    return WindowStyle::bits(hwnd, extended);
}

void ModifyWindowStyle(QWidget *hwnd, quint32 mask, quint32 bits, bool extended)
{
    if (!hwnd)
        return;
    WindowStyle::setBits(hwnd, (GetWindowStyleBits(hwnd, extended) & mask) ^ bits, extended);
}

QRect pixelRect(int x, int y, int width, int height, int scaleMode)
{
    return QRect(Twips::toPixels(x, scaleMode, false), Twips::toPixels(y, scaleMode, true),
                 Twips::toPixels(width, scaleMode, false), Twips::toPixels(height, scaleMode, true));
}

void DrawFocusRectangle(QPainter *dc, int x, int y, int width, int height, int scaleMode)
{
    if (!dc || !dc->isActive())
        return;
    const QRect rect = pixelRect(x, y, width, height, scaleMode);
    if (rect.width() <= 0 || rect.height() <= 0)
        return;
    dc->save();
    QPen pen(dc->pen().color(), 1);
    pen.setCosmetic(true);
    if (dc->paintEngine() && dc->paintEngine()->hasFeature(QPaintEngine::RasterOpModes)) {
        pen.setColor(Qt::white);
        dc->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    }
    dc->setPen(pen);
    dc->setRenderHint(QPainter::Antialiasing, false);
    dc->drawPoints(focusFramePoints(rect));
    dc->restore();
}

void InvalidateWholeWindow(QWidget *hwnd)
{
    if (hwnd)
        hwnd->update();
}

void InvalidateRectangle(QWidget *hwnd, int x, int y, int width, int height, int scaleMode)
{
    if (hwnd)
        hwnd->update(pixelRect(x, y, width, height, scaleMode));
}

QWidget *WindowUnderCursor()
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return nullptr;
    return QApplication::widgetAt(QCursor::pos());
}

bool IsKeyDown(int virtualKey)
{
    return KeyState::instance().isKeyDown(virtualKey);
}

void ApplyMenuBitmaps(QWidget *hwnd, const ArrayDictionary_ &pictures)
{
    QMenuBar *bar = hwnd ? menuBarOf(hwnd) : nullptr;
    if (!bar)
        return;
    for (int i = 0; i <= 20; ++i) {
        QAction *top = actionAt(bar, i);
        QMenu *menu = top ? top->menu() : nullptr;
        if (!menu)
            break;
        if (auto inner = dictionaryOf(pictures.FindByKey(GetMenuItemCaption(bar, i))))
            applyToMenu(menu, *inner);
    }
}

QString GetMenuItemCaption(const QWidget *menu, int position)
{
    const QAction *action = actionAt(menu, position);
    if (!action || action->isSeparator())
        return QString();
    QString caption = action->text();
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab > 0)
        caption.truncate(tab);
    return caption;
}

} // namespace WinApi_
