#pragma once

#include <QString>
#include <functional>

// The progress log that long operations report to. The window that shows it
// registers itself; until one does, reports collect in a log kept in memory.
class ProgressLog
{
public:
    virtual ~ProgressLog() = default;
    virtual void MsgShow(const QString &text, bool closeWhenDone) = 0;
    virtual void MsgAddMessage(const QString &text, bool keepAutoClose, bool enableCancel) = 0;
    virtual void MsgDone() = 0;
    virtual void MsgHideIfOpen() = 0;
    virtual bool Cancelled() const = 0;
    virtual void SetCancelled(bool cancelled) = 0;
};

// The one progress log of the program (the registered window, or the memory log).
ProgressLog &ProgressMessages();
// Registers the factory of the window that shows the log; it is called on first use.
void SetProgressLogFactory(std::function<ProgressLog &()> factory);

// A progress log that keeps its text in memory; used before a window exists and in tests.
class MemoryProgressLog : public ProgressLog
{
public:
    void MsgShow(const QString &text, bool closeWhenDone) override;
    void MsgAddMessage(const QString &text, bool keepAutoClose, bool enableCancel) override;
    void MsgDone() override;
    void MsgHideIfOpen() override;
    bool Cancelled() const override { return m_cancelled; }
    void SetCancelled(bool cancelled) override { m_cancelled = cancelled; }

    QString text() const { return m_text; }
    bool shown() const { return m_shown; }
    bool done() const { return m_done; }

private:
    QString m_text;
    bool m_shown = false;
    bool m_done = false;
    bool m_closeWhenDone = true;
    bool m_cancelled = false;
};
