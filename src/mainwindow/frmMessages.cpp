#include "mainwindow/frmMessages.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/Registry_.h"
#include "platform/DefaultInstance.h"
#include "platform/RichTextBox.h"

#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QWindow>

namespace {
const QString PositionPrefix = QStringLiteral("ScreenProgMsgs");
const QString CRLF = QStringLiteral("\r\n");
constexpr int Margin = 8;
constexpr int ButtonMinWidth = 88;
constexpr int TickMilliseconds = 1000;

bool isUserInput(QEvent::Type type)
{
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::Drop:
        return true;
    default:
        return false;
    }
}

// While a reporting operation lets events run, the user may reach the log window
// (its Cancel button) but nothing else, so that no command can start another
// operation inside the running one. Repaints and timers still run, and a modal
// window opened meanwhile (an error report) can still be answered.
class InputOnlyFor : public QObject
{
public:
    explicit InputOnlyFor(QWidget *allowed)
        : m_allowed(allowed)
        , m_modalBefore(QApplication::activeModalWidget())
    {
        qApp->installEventFilter(this);
    }
    ~InputOnlyFor() override { qApp->removeEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!isUserInput(event->type()))
            return false;
        if (auto *widget = qobject_cast<QWidget *>(watched))
            return !accepts(widget->window());
        if (auto *window = qobject_cast<QWindow *>(watched))
            return !accepts(window);
        // Shortcuts go to actions, which belong to other windows.
        return true;
    }

private:
    bool accepts(const QWidget *window) const
    {
        if (m_allowed && window == m_allowed)
            return true;
        return window == QApplication::activeModalWidget() && window != m_modalBefore;
    }
    bool accepts(const QWindow *window) const
    {
        if (m_allowed && window == m_allowed->windowHandle())
            return true;
        return window == QGuiApplication::modalWindow() &&
               (!m_modalBefore || window != m_modalBefore->windowHandle());
    }

    QPointer<QWidget> m_allowed;
    QPointer<QWidget> m_modalBefore;
};
} // namespace

frmMessages::frmMessages()
{
    setWindowTitle(QStringLiteral("Progress Messages"));
    // Closing the log must never end the program, and it unloads the window.
    setAttribute(Qt::WA_QuitOnClose, false);
    setAttribute(Qt::WA_DeleteOnClose, true);

    RichTextBox1 = new RichTextBox(this);
    RichTextBox1->setLocked(true);
    RichTextBox1->move(Margin, Margin);

    btnClose = new QPushButton(QStringLiteral("Close"), this);
    btnCancel = new QPushButton(QStringLiteral("Cancel"), this);
    for (QPushButton *button : {btnClose, btnCancel}) {
        const QSize hint = button->sizeHint();
        button->resize(std::max(hint.width(), ButtonMinWidth), hint.height());
    }
    btnCancel->setEnabled(false);
    setMinimumSize(btnClose->width() + btnCancel->width() + 4 * Margin, btnClose->height() + 3 * Margin + 60);

    Timer1 = new QTimer(this);
    Timer1->setInterval(TickMilliseconds);

    QObject::connect(btnCancel, &QPushButton::clicked, this, [this] { btnCancel_Click(); });
    QObject::connect(btnClose, &QPushButton::clicked, this, [this] { btnClose_Click(); });
    QObject::connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });

    // Form_Load
    m_closeWhenDone = true;
    RestoreFormPosition(PositionPrefix, this);
    Form_Resize();
}

frmMessages::~frmMessages() = default;

auto frmMessages::Instance() -> frmMessages &
{
    return DefaultInstance<frmMessages>::get();
}

void frmMessages::Register()
{
    SetProgressLogFactory([]() -> ProgressLog & { return Instance(); });
}

void frmMessages::MsgShow(const QString &text, bool closeWhenDone)
{
    if (Timer1->isActive() && !m_closeWhenDone && !isVisible()) {
        // A run is waiting for the main window: this text belongs to it.
        MsgAddMessage(CRLF + CRLF + text, closeWhenDone, false);
        return;
    }
    RichTextBox1->setText(text);
    btnCancel->setEnabled(true);
    m_closeWhenDone = closeWhenDone;
    ShowMessages();
    Timer1->start();
    m_cancelled = false;
}

void frmMessages::MsgAddMessage(const QString &text, bool keepAutoClose, bool enableCancel)
{
    ClearAutoClose(keepAutoClose);
    RichTextBox1->setSelStart(RichTextBox1->endPosition());
    RichTextBox1->setSelText(text);
    if (enableCancel) {
        btnCancel->setEnabled(true);
        letEventsRun();
    }
}

void frmMessages::MsgDone()
{
    btnCancel->setEnabled(false);
    btnClose->setEnabled(true);
    if (m_closeWhenDone)
        MsgHideIfOpen();
}

void frmMessages::MsgHideIfOpen()
{
    // The position is only taken from a visible window, so before hiding it; a
    // position that cannot be saved must not keep the window open.
    IgnoreErrors([this] { SaveFormPosition(PositionPrefix, this); });
    hide();
    Timer1->stop();
    RichTextBox1->setText(QString());
    m_cancelled = false;
    m_closeWhenDone = true;
}

void frmMessages::ClearAutoClose(bool keep)
{
    if (!keep)
        m_closeWhenDone = false;
}

void frmMessages::ShowMessages()
{
    QWidget *owner = QApplication::activeWindow();
    if (owner == this)
        owner = gMainForm;
    if (isVisible())
        return;
    // Until the main window is up (start-up), the timer tries again. A modal
    // dialog does not stop a modeless window from showing here.
    if (gMainForm && gMainForm->isEnabled() && gMainForm->isVisible()) {
        showOwnedBy(owner);
        if (!isVisible())
            Timer1->start();
        return;
    }
    Timer1->start();
}

void frmMessages::showOwnedBy(QWidget *owner)
{
    // The owner keeps the log above it without taking charge of its lifetime.
    create();
    if (owner && owner->window() != this && owner->window()->windowHandle() && windowHandle())
        windowHandle()->setTransientParent(owner->window()->windowHandle());
    show();
    activateWindow();
    // Messages may have collected while the window waited.
    RichTextBox1->ensureCursorVisible();
}

void frmMessages::letEventsRun()
{
    // A handler that runs while events are let through may report here again; only
    // the outermost call lets events run.
    if (m_lettingEventsRun)
        return;
    QPointer<frmMessages> self(this);
    m_lettingEventsRun = true;
    {
        InputOnlyFor gate(this);
        QCoreApplication::processEvents();
    }
    if (self)
        m_lettingEventsRun = false;
}

void frmMessages::btnCancel_Click()
{
    m_cancelled = true;
    btnCancel->setEnabled(false);
}

void frmMessages::btnClose_Click()
{
    TrapErrors(QStringLiteral("frmMessages.btnClose_Click()"), [this] { MsgHideIfOpen(); });
}

void frmMessages::Timer1_Timer()
{
    IgnoreErrors([this] {
        if (isVisible()) {
            if (!isActiveWindow() && m_closeWhenDone)
                MsgHideIfOpen();
        } else if (m_closeWhenDone) {
            MsgHideIfOpen();
        } else {
            ShowMessages();
        }
    });
}

void frmMessages::Form_Resize()
{
    if (isMinimized())
        return;
    const int m = RichTextBox1->x();
    const int logWidth = std::max(0, width() - 2 * m);
    const int logHeight = std::max(0, height() - 3 * m - btnClose->height());
    RichTextBox1->resize(logWidth, logHeight);
    const int top = RichTextBox1->y() + logHeight + m;
    btnCancel->move(width() - m - btnCancel->width(), top);
    btnClose->move(btnCancel->x() - m - btnClose->width(), top);
}

void frmMessages::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmMessages::closeEvent(QCloseEvent *event)
{
    if (m_lettingEventsRun) {
        // The reporting operation still holds this window: it is emptied and
        // hidden as an unloaded one would be, but stays alive.
        event->ignore();
        MsgHideIfOpen();
        return;
    }
    // Form_Unload: the window unloads; the next report loads it anew.
    IgnoreErrors([this] { SaveFormPosition(PositionPrefix, this); });
    Timer1->stop();
    QWidget::closeEvent(event);
}
