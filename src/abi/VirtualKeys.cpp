#include "abi/VirtualKeys.h"

#include <QKeyEvent>
#include <utility>

namespace {
// Keys whose code does not follow from a range.
constexpr std::pair<int, int> fixedKeys[] = {
    {Qt::Key_Backspace, VK::Back},    {Qt::Key_Tab, VK::Tab},          {Qt::Key_Backtab, VK::Tab},
    {Qt::Key_Return, VK::Return},     {Qt::Key_Enter, VK::Return},     {Qt::Key_Shift, VK::Shift},
    {Qt::Key_Control, VK::Control},   {Qt::Key_Alt, VK::Menu},         {Qt::Key_Pause, VK::Pause},
    {Qt::Key_CapsLock, VK::Capital},  {Qt::Key_Escape, VK::Escape},    {Qt::Key_Space, VK::Space},
    {Qt::Key_PageUp, VK::Prior},      {Qt::Key_PageDown, VK::Next},    {Qt::Key_End, VK::End},
    {Qt::Key_Home, VK::Home},         {Qt::Key_Left, VK::Left},        {Qt::Key_Up, VK::Up},
    {Qt::Key_Right, VK::Right},       {Qt::Key_Down, VK::Down},        {Qt::Key_Insert, VK::Insert},
    {Qt::Key_Delete, VK::Delete},     {Qt::Key_NumLock, VK::NumLock},  {Qt::Key_ScrollLock, VK::Scroll},
    {Qt::Key_Semicolon, VK::Oem1},    {Qt::Key_Equal, VK::OemPlus},    {Qt::Key_Comma, VK::OemComma},
    {Qt::Key_Minus, VK::OemMinus},    {Qt::Key_Period, VK::OemPeriod}, {Qt::Key_Slash, VK::Oem2},
    {Qt::Key_QuoteLeft, VK::Oem3},    {Qt::Key_BracketLeft, VK::Oem4}, {Qt::Key_Backslash, VK::Oem5},
    {Qt::Key_BracketRight, VK::Oem6}, {Qt::Key_Apostrophe, VK::Oem7},  {Qt::Key_Asterisk, VK::Multiply},
    {Qt::Key_Plus, VK::Add},
};

int keypadKey(int qtKey)
{
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return VK::Numpad0 + (qtKey - Qt::Key_0);
    switch (qtKey) {
    case Qt::Key_Asterisk:
        return VK::Multiply;
    case Qt::Key_Plus:
        return VK::Add;
    case Qt::Key_Minus:
        return VK::Subtract;
    case Qt::Key_Period:
    case Qt::Key_Comma:
        return VK::Decimal; // the decimal key gives "," in many layouts
    case Qt::Key_Slash:
        return VK::Divide;
    case Qt::Key_Enter:
        return VK::Return;
    default:
        return 0;
    }
}
} // namespace

namespace VirtualKeys {

int fromQtKey(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & Qt::KeypadModifier) {
        if (int vk = keypadKey(qtKey))
            return vk;
    }
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return VK::KeyA + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return VK::Key0 + (qtKey - Qt::Key_0);
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return VK::F1 + (qtKey - Qt::Key_F1);
    for (const auto &[qt, vk] : fixedKeys)
        if (qt == qtKey)
            return vk;
    return 0;
}

int toQtKey(int virtualKey)
{
    if (virtualKey >= VK::KeyA && virtualKey <= VK::KeyA + 25)
        return Qt::Key_A + (virtualKey - VK::KeyA);
    if (virtualKey >= VK::Key0 && virtualKey <= VK::Key0 + 9)
        return Qt::Key_0 + (virtualKey - VK::Key0);
    if (virtualKey >= VK::Numpad0 && virtualKey <= VK::Numpad0 + 9)
        return Qt::Key_0 + (virtualKey - VK::Numpad0);
    if (virtualKey >= VK::F1 && virtualKey <= VK::F1 + 23)
        return Qt::Key_F1 + (virtualKey - VK::F1);
    if (virtualKey == VK::Subtract)
        return Qt::Key_Minus;
    if (virtualKey == VK::Decimal)
        return Qt::Key_Period;
    if (virtualKey == VK::Divide)
        return Qt::Key_Slash;
    for (const auto &[qt, vk] : fixedKeys)
        if (vk == virtualKey)
            return qt;
    return 0;
}

int fromEvent(const QKeyEvent *event)
{
    return fromQtKey(event->key(), event->modifiers());
}

int shiftMask(Qt::KeyboardModifiers modifiers)
{
    int mask = 0;
    if (modifiers & Qt::ShiftModifier)
        mask |= ShiftMask::Shift;
    if (modifiers & Qt::ControlModifier)
        mask |= ShiftMask::Ctrl;
    if (modifiers & Qt::AltModifier)
        mask |= ShiftMask::Alt;
    return mask;
}

Qt::KeyboardModifiers modifiersFromMask(int mask)
{
    Qt::KeyboardModifiers modifiers;
    if (mask & ShiftMask::Shift)
        modifiers |= Qt::ShiftModifier;
    if (mask & ShiftMask::Ctrl)
        modifiers |= Qt::ControlModifier;
    if (mask & ShiftMask::Alt)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

} // namespace VirtualKeys
