#pragma once

#include "VxHelpers/NotificationStack.h"

#include <QObject>
#include <QPointer>

class QKeyEvent;
class QMouseEvent;
class QTextEdit;
class QWidget;

// Relays the notifications of one rich-edit window to its host: each one is
// put in a record and announced by the marker sent to the host, whose answer
// decides what happens to the key or mouse message. Fed by event filters on the
// editor and its viewport and by the editor's signals; lives as the editor's child.
class HostWindowProc : public QObject
{
public:
    HostWindowProc(QWidget *host, QTextEdit *editor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool filterKey(QKeyEvent *event);
    bool filterMouse(QMouseEvent *event);
    void deliverReplacement(const QKeyEvent &original, int virtualKey);
    void relayChange();
    void relaySelectionChange();
    bool wants(uint32_t eventMaskBits) const;
    NotificationStack::Record record(uint32_t code, uint32_t msg, VxAbi::WPARAM wParam,
                                     VxAbi::LPARAM lParam) const;

    // Static: the handler may destroy the host, the editor and this relay.
    static NotificationStack::Record announce(const NotificationStack::Record &record, QPointer<QWidget> host,
                                              Qt::KeyboardModifiers held);

    QPointer<QWidget> m_host;
    QTextEdit *m_editor;
    QWidget *m_viewport;
    const QKeyEvent *m_replacement = nullptr;
    int m_selectionStart = -1;
    int m_selectionEnd = -1;
};
