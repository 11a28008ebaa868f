#include "mainwindow/WorkspaceDocument.h"

#include "platform/RuntimeError.h"
#include "platform/Seams.h"

namespace {
Seam<WorkspaceDocument::Access> &registration()
{
    static Seam<WorkspaceDocument::Access> access{WorkspaceDocument::Access{}};
    return access;
}
} // namespace

void WorkspaceDocument::Register(Access access)
{
    registration().replace(std::move(access));
}

bool WorkspaceDocument::IsRegistered()
{
    return bool(registration().get().pane);
}

const WorkspaceDocument::Access &WorkspaceDocument::Get()
{
    if (!IsRegistered())
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.WorkspaceDocument.Get"),
                   QStringLiteral("The search workspace is not available."));
    return registration().get();
}
