#include "platform/Desktop.h"
#include "platform/QtDesktop.h"

namespace {
std::unique_ptr<Desktop> &current()
{
    static std::unique_ptr<Desktop> instance;
    return instance;
}
} // namespace

Desktop &desktop()
{
    if (!current())
        current() = std::make_unique<QtDesktop>();
    return *current();
}

std::unique_ptr<Desktop> setDesktop(std::unique_ptr<Desktop> replacement)
{
    std::unique_ptr<Desktop> previous = std::move(current());
    current() = std::move(replacement);
    return previous;
}

WaitCursor::WaitCursor()
{
    desktop().setWaitCursor(true);
}

WaitCursor::~WaitCursor()
{
    desktop().setWaitCursor(false);
}
