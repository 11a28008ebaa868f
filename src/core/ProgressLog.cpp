#include "core/ProgressLog.h"

#include "platform/Seams.h"

namespace {
std::function<ProgressLog &()> &factory()
{
    static std::function<ProgressLog &()> f;
    return f;
}
} // namespace

ProgressLog &ProgressMessages()
{
    if (factory())
        return factory()();
    static MemoryProgressLog memoryLog;
    return memoryLog;
}

void SetProgressLogFactory(std::function<ProgressLog &()> f)
{
    Seams::OnReset(&factory(), [] { factory() = nullptr; });
    factory() = std::move(f);
}

void MemoryProgressLog::MsgShow(const QString &text, bool closeWhenDone)
{
    m_text = text;
    m_shown = true;
    m_done = false;
    m_closeWhenDone = closeWhenDone;
    m_cancelled = false;
}

void MemoryProgressLog::MsgAddMessage(const QString &text, bool keepAutoClose, bool)
{
    if (!keepAutoClose)
        m_closeWhenDone = false;
    m_text += text;
}

void MemoryProgressLog::MsgDone()
{
    m_done = true;
    if (m_closeWhenDone)
        MsgHideIfOpen();
}

void MemoryProgressLog::MsgHideIfOpen()
{
    m_shown = false;
    m_text.clear();
    m_cancelled = false;
    m_closeWhenDone = true;
}
