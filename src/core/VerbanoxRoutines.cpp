#include "VerbanoxRoutines.h"
#include "AppInfo.h"
#include "Bug_.h"
#include "FileFunctions_.h"
#include "MiscHelpers.h"
#include "Registry_.h"

namespace VerbanoxRoutines {

void RecoverSettingsAndEnd()
{
    IgnoreErrors([] {
        desktop().messageBox(QStringLiteral("An unexpected error has occured. ") + MiscHelpers::ProductTitle()
                                 + QStringLiteral("\r\n")
                                 + QStringLiteral("Will attempt to recover from this. Please restart the Program."),
                             MsgBoxStyle::Critical, QString());
    });
    IgnoreErrors([] { Registry_::DeleteSection(QStringLiteral("Settings")); });
    const QString program = AppInfo::programFolder();
    for (const char *folder : {"Modules", "Modules/Bible", "Modules/Commentary", "Modules/Dictionary",
                               "Modules/Name", "Modules/SNotes", "Modules/Maps", "Index", "Scratch",
                               "SysDefs"})
        IgnoreErrors([&] { FileFunctions_::MakeFolder(program + QLatin1String(folder)); });
    desktop().endProgram(0);
    Q_UNREACHABLE();
}

} // namespace VerbanoxRoutines
