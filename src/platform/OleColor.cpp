#include "platform/OleColor.h"

#include <QGuiApplication>
#include <QPalette>

namespace {
struct SystemRole
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

bool systemRole(quint32 index, SystemRole *out)
{
    using P = QPalette;
    static const SystemRole roles[] = {
        {P::Active, P::Mid},             // scroll bar
        {P::Active, P::Dark},            // desktop
        {P::Active, P::Highlight},       // active caption
        {P::Inactive, P::Mid},           // inactive caption
        {P::Active, P::Window},          // menu
        {P::Active, P::Base},            // window
        {P::Active, P::Shadow},          // window frame
        {P::Active, P::WindowText},      // menu text
        {P::Active, P::Text},            // window text
        {P::Active, P::HighlightedText}, // caption text
        {P::Active, P::Button},          // active border
        {P::Inactive, P::Button},        // inactive border
        {P::Active, P::Mid},             // application workspace
        {P::Active, P::Highlight},       // highlight
        {P::Active, P::HighlightedText}, // highlighted text
        {P::Active, P::Button},          // button face
        {P::Active, P::Dark},            // button shadow
        {P::Disabled, P::Text},          // grey text
        {P::Active, P::ButtonText},      // button text
        {P::Inactive, P::WindowText},    // inactive caption text
        {P::Active, P::Light},           // button highlight
        {P::Active, P::Shadow},          // 3-D dark shadow
        {P::Active, P::Midlight},        // 3-D light
        {P::Active, P::ToolTipText},     // tool-tip text
        {P::Active, P::ToolTipBase},     // tool-tip background
        {P::Active, P::Window},          // (unused index 25)
        {P::Active, P::Link},            // hot-tracked item
        {P::Active, P::Highlight},       // gradient active caption
        {P::Inactive, P::Mid},           // gradient inactive caption
        {P::Active, P::Highlight},       // menu highlight
        {P::Active, P::Window},          // menu bar
    };
    if (index >= std::size(roles))
        return false;
    *out = roles[index];
    return true;
}

QPalette currentPalette()
{
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return QGuiApplication::palette();
    return QPalette();
}
} // namespace

namespace OleColor {

bool translate(quint32 color, quint32 *rgbOut)
{
    *rgbOut = 0;
    if (!isSystemColor(color)) {
        if (color & 0xFF000000u)
            return false;
        *rgbOut = color;
        return true;
    }
    // Only the top bit marks a system colour; any other bit of the high byte is an error.
    SystemRole role;
    if ((color & 0x7F000000u) || !systemRole(color & 0xFFFFFFu, &role))
        return false;
    *rgbOut = fromQColor(currentPalette().color(role.group, role.role));
    return true;
}

quint32 translateOrZero(quint32 color)
{
    quint32 value = 0;
    translate(color, &value);
    return value;
}

QColor toQColor(quint32 color)
{
    const quint32 value = translateOrZero(color);
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

quint32 fromQColor(const QColor &color)
{
    return rgb(color.red(), color.green(), color.blue());
}

} // namespace OleColor
