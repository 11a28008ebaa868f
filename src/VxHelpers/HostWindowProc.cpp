#include "VxHelpers/HostWindowProc.h"

#include "abi/VirtualKeys.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextCursor>
#include <QTextEdit>

namespace {
constexpr Qt::KeyboardModifiers MarkerModifiers = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;

// Repeat count, context (Alt), previous state and transition bits of a key message.
VxAbi::LPARAM keyLParam(const QKeyEvent *event)
{
    uint32_t bits = 1;
    if (event->modifiers() & Qt::AltModifier)
        bits |= 1u << 29;
    if (event->type() == QEvent::KeyRelease)
        bits |= (1u << 30) | (1u << 31);
    else if (event->isAutoRepeat())
        bits |= 1u << 30;
    return VxAbi::LPARAM(bits);
}

uint32_t mouseMessage(const QMouseEvent *event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseMove)
        return VxAbi::WM_MOUSEMOVE;
    // Down, up and double click follow each other in the same order for every button.
    int step;
    if (type == QEvent::MouseButtonPress)
        step = 0;
    else if (type == QEvent::MouseButtonRelease)
        step = 1;
    else if (type == QEvent::MouseButtonDblClick)
        step = 2;
    else
        return 0;
    switch (event->button()) {
    case Qt::LeftButton:
        return VxAbi::WM_LBUTTONDOWN + step;
    case Qt::RightButton:
        return VxAbi::WM_RBUTTONDOWN + step;
    case Qt::MiddleButton:
        return VxAbi::WM_MBUTTONDOWN + step;
    default:
        return 0;
    }
}

VxAbi::WPARAM mouseKeyState(const QMouseEvent *event)
{
    uint32_t flags = 0;
    const Qt::MouseButtons buttons = event->buttons();
    if (buttons & Qt::LeftButton)
        flags |= VxAbi::MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= VxAbi::MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= VxAbi::MK_MBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= VxAbi::MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= VxAbi::MK_CONTROL;
    return flags;
}

VxAbi::LPARAM mousePosition(const QMouseEvent *event)
{
    const QPoint pos = event->position().toPoint();
    return VxAbi::LPARAM(uint32_t(uint16_t(pos.x())) | (uint32_t(uint16_t(pos.y())) << 16));
}

// The text a key types when it replaces another key (the layout is not known here).
QString replacementText(int qtKey, Qt::KeyboardModifiers modifiers)
{
    if (qtKey == Qt::Key_Return || qtKey == Qt::Key_Enter)
        return QStringLiteral("\r");
    if (qtKey == Qt::Key_Tab)
        return QStringLiteral("\t");
    if (qtKey < 0x20 || qtKey > 0x7E)
        return QString();
    const QChar c(qtKey);
    return modifiers & Qt::ShiftModifier ? QString(c) : QString(c.toLower());
}

bool isKeypadKey(int virtualKey)
{
    return virtualKey >= VK::Numpad0 && virtualKey <= VK::Divide;
}
} // namespace

HostWindowProc::HostWindowProc(QWidget *host, QTextEdit *editor)
    : QObject(editor)
    , m_host(host)
    , m_editor(editor)
    , m_viewport(editor->viewport())
{
    const QTextCursor cursor = editor->textCursor();
    m_selectionStart = cursor.selectionStart();
    m_selectionEnd = cursor.selectionEnd();
    // Mouse moves are messages of their own even while no button is held.
    m_viewport->setMouseTracking(true);
    editor->installEventFilter(this);
    m_viewport->installEventFilter(this);
    connect(editor, &QTextEdit::textChanged, this, &HostWindowProc::relayChange);
    connect(editor, &QTextEdit::selectionChanged, this, &HostWindowProc::relaySelectionChange);
    connect(editor, &QTextEdit::cursorPositionChanged, this, &HostWindowProc::relaySelectionChange);
}

bool HostWindowProc::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
        if (watched == m_editor)
            return filterKey(static_cast<QKeyEvent *>(event));
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        if (watched == m_viewport)
            return filterMouse(static_cast<QMouseEvent *>(event));
        break;
    default:
        break;
    }
    return false;
}

bool HostWindowProc::filterKey(QKeyEvent *event)
{
    if (event == m_replacement || !wants(VxAbi::ENM_KEYEVENTS))
        return false;
    const int virtualKey = VirtualKeys::fromEvent(event);
    // A key without a code cannot be named to the host, and a code of 0 would mean "swallow it".
    if (virtualKey == 0)
        return false;
    const uint32_t msg = event->type() == QEvent::KeyPress ? VxAbi::WM_KEYDOWN : VxAbi::WM_KEYUP;
    const QPointer<HostWindowProc> alive(this);
    const NotificationStack::Record answer =
        announce(record(VxAbi::EN_MSGFILTER, msg, VxAbi::WPARAM(virtualKey), keyLParam(event)), m_host,
                 event->modifiers());
    if (!alive)
        return true; // the pane went away while answering
    if (answer.wParam == 0 || answer.result != 0)
        return true;
    if (answer.wParam != VxAbi::WPARAM(virtualKey)) {
        deliverReplacement(*event, int(answer.wParam & 0xFFFF));
        return true;
    }
    return false;
}

bool HostWindowProc::filterMouse(QMouseEvent *event)
{
    if (!wants(VxAbi::ENM_MOUSEEVENTS))
        return false;
    const uint32_t msg = mouseMessage(event);
    if (msg == 0)
        return false;
    const QPointer<HostWindowProc> alive(this);
    const NotificationStack::Record answer =
        announce(record(VxAbi::EN_MSGFILTER, msg, mouseKeyState(event), mousePosition(event)), m_host,
                 event->modifiers());
    if (!alive)
        return true;
    return answer.result != 0;
}

void HostWindowProc::deliverReplacement(const QKeyEvent &original, int virtualKey)
{
    const int qtKey = VirtualKeys::toQtKey(virtualKey);
    if (qtKey == 0)
        return;
    Qt::KeyboardModifiers modifiers = original.modifiers() & ~Qt::KeypadModifier;
    if (isKeypadKey(virtualKey))
        modifiers |= Qt::KeypadModifier;
    const QString text = original.type() == QEvent::KeyPress ? replacementText(qtKey, modifiers) : QString();
    QKeyEvent replacement(original.type(), qtKey, modifiers, text, original.isAutoRepeat(),
                          ushort(original.count()));
    const QPointer<HostWindowProc> alive(this);
    m_replacement = &replacement;
    QCoreApplication::sendEvent(m_editor, &replacement);
    if (alive)
        m_replacement = nullptr;
}

void HostWindowProc::relayChange()
{
    if (wants(VxAbi::ENM_CHANGE))
        announce(record(VxAbi::EN_CHANGE, VxAbi::WM_COMMAND, 0, 0), m_host,
                 QGuiApplication::keyboardModifiers());
}

void HostWindowProc::relaySelectionChange()
{
    // Both signals come for one change of a selection; the host hears of it once.
    const QTextCursor cursor = m_editor->textCursor();
    if (cursor.selectionStart() == m_selectionStart && cursor.selectionEnd() == m_selectionEnd)
        return;
    m_selectionStart = cursor.selectionStart();
    m_selectionEnd = cursor.selectionEnd();
    if (wants(VxAbi::ENM_SELCHANGE))
        announce(record(VxAbi::EN_SELCHANGE, 0, 0, 0), m_host, QGuiApplication::keyboardModifiers());
}

bool HostWindowProc::wants(uint32_t eventMaskBits) const
{
    return (m_editor->property("eventMask").toUInt() & eventMaskBits) != 0;
}

NotificationStack::Record HostWindowProc::record(uint32_t code, uint32_t msg, VxAbi::WPARAM wParam,
                                                 VxAbi::LPARAM lParam) const
{
    NotificationStack::Record record;
    record.hwndFrom = reinterpret_cast<VxAbi::HWND>(static_cast<QWidget *>(m_editor));
    record.code = code;
    record.msg = msg;
    record.wParam = wParam;
    record.lParam = lParam;
    return record;
}

NotificationStack::Record HostWindowProc::announce(const NotificationStack::Record &record,
                                                   QPointer<QWidget> host, Qt::KeyboardModifiers held)
{
    NotificationStack::Scope scope(record);
    if (host) {
        const QPointF marker(VxAbi::MarkerX, VxAbi::MarkerY);
        QMouseEvent event(QEvent::MouseButtonRelease, marker, host->mapToGlobal(marker), Qt::MiddleButton,
                          Qt::NoButton, held & MarkerModifiers);
        QCoreApplication::sendEvent(host, &event);
    }
    return scope.record();
}
