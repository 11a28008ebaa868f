#pragma once

#include "core/ProgressLog.h"

#include <QWidget>

class QPushButton;
class QTimer;
class RichTextBox;

// The progress log window: long operations report into it, poll its Cancel
// button, and it shows itself once the main window can own it.
class frmMessages : public QWidget, public ProgressLog
{
    Q_OBJECT
public:
    frmMessages();
    ~frmMessages() override;

    // The default instance, loaded on first use.
    static frmMessages &Instance();
    // Makes this window the program's progress log; called once at start.
    static void Register();

    void MsgShow(const QString &text, bool closeWhenDone) override;
    void MsgAddMessage(const QString &text, bool keepAutoClose, bool enableCancel) override;
    void MsgDone() override;
    void MsgHideIfOpen() override;
    bool Cancelled() const override { return m_cancelled; }
    void SetCancelled(bool cancelled) override { m_cancelled = cancelled; }

    bool closeWhenDone() const { return m_closeWhenDone; }

    void btnCancel_Click();
    void btnClose_Click();
    void Timer1_Timer();
    void Form_Resize();

    RichTextBox *RichTextBox1 = nullptr;
    QPushButton *btnCancel = nullptr;
    QPushButton *btnClose = nullptr;
    QTimer *Timer1 = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void ClearAutoClose(bool keep);
    void ShowMessages();
    void showOwnedBy(QWidget *owner);
    void letEventsRun();

    bool m_closeWhenDone = true;
    bool m_cancelled = false;
    bool m_lettingEventsRun = false;
};
