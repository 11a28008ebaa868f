#include "mainwindow/WorkspaceDocument.h"

#include "platform/RuntimeError.h"

namespace {
WorkspaceDocument::Access &registration()
{
    static WorkspaceDocument::Access access;
    return access;
}
} // namespace

void WorkspaceDocument::Register(Access access)
{
    registration() = std::move(access);
}

bool WorkspaceDocument::IsRegistered()
{
    return bool(registration().pane);
}

const WorkspaceDocument::Access &WorkspaceDocument::Get()
{
    if (!IsRegistered())
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.WorkspaceDocument.Get"),
                   QStringLiteral("The search workspace is not available."));
    return registration();
}

void WorkspaceDocument::Clear()
{
    registration() = Access{};
}
