#include "platform/KeyState.h"
#include "abi/VirtualKeys.h"
#include "platform/Seams.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

KeyState::KeyState(QObject *parent)
    : QObject(parent)
{
}

KeyState &KeyState::instance()
{
    static KeyState *tracker = nullptr;
    if (!tracker) {
        tracker = new KeyState(QCoreApplication::instance());
        Seams::OnReset(&tracker, [] { tracker->reset(); });
        if (QCoreApplication::instance())
            QCoreApplication::instance()->installEventFilter(tracker);
    }
    return *tracker;
}

bool KeyState::isKeyDown(int virtualKey) const
{
    const bool gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
    switch (virtualKey) {
    case VK::LButton:
        return m_buttons & Qt::LeftButton;
    case VK::RButton:
        return m_buttons & Qt::RightButton;
    case VK::MButton:
        return m_buttons & Qt::MiddleButton;
    case VK::Shift:
        return m_keysDown.contains(virtualKey) ||
               (gui && (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier));
    case VK::Control:
        return m_keysDown.contains(virtualKey) ||
               (gui && (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier));
    case VK::Menu:
        return m_keysDown.contains(virtualKey) ||
               (gui && (QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier));
    default:
        return m_keysDown.contains(virtualKey);
    }
}

void KeyState::reset()
{
    m_keysDown.clear();
    m_buttons = Qt::NoButton;
}

bool KeyState::eventFilter(QObject *watched, QEvent *event)
{
    // An input event can pass the filter more than once (window, then widget, then
    // parents); recording state rather than counting makes that harmless.
    Q_UNUSED(watched);
    // Only input that came from the window system says what is held: events the
    // program sends itself (the relay's marker, a replacement key) are not presses.
    if (!event->spontaneous() && event->type() != QEvent::ApplicationDeactivate)
        return false;
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->isAutoRepeat())
            break;
        if (int vk = VirtualKeys::fromEvent(key)) {
            if (event->type() == QEvent::KeyPress)
                m_keysDown.insert(vk);
            else
                m_keysDown.remove(vk);
        }
        break;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
        m_buttons = static_cast<QMouseEvent *>(event)->buttons();
        break;
    case QEvent::ApplicationDeactivate:
        reset();
        break;
    default:
        break;
    }
    return false;
}
