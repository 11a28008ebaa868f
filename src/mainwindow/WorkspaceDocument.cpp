#include "mainwindow/WorkspaceDocument.h"

#include "platform/RuntimeError.h"
#include "platform/Seams.h"

namespace {
WorkspaceDocument::Access &registration()
{
    static WorkspaceDocument::Access access;
    return access;
}
} // namespace

void WorkspaceDocument::Register(Access access)
{
    Seams::OnReset(&registration(), &WorkspaceDocument::Clear);
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
