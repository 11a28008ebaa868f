#include "core/ProgressLog.h"

#include "platform/Seams.h"

namespace {
Seam<std::function<ProgressLog &()>> &factory()
{
    static Seam<std::function<ProgressLog &()>> f{nullptr};
    return f;
}
} // namespace

ProgressLog &ProgressMessages()
{
    if (const auto &made = factory().get())
        return made();
    static MemoryProgressLog memoryLog;
    return memoryLog;
}

void SetProgressLogFactory(std::function<ProgressLog &()> f)
{
    factory().replace(std::move(f));
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
