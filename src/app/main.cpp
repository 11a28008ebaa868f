#include "Bug_.h"
#include "GlobalVars.h"
#include "KeyState.h"
#include "MainMenu.h"
#include "MainStartup.h"
#include "NoBibles.h"
#include "frmMessages.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanox"));
    KeyState::instance();
    frmMessages::Register();
    MainMenu::Register();
    NoBibles::Register();

    if (!TrapErrors(QStringLiteral("MainStartup.Main()"), [] { MainStartup::Main(); }))
        return 1;
    // From here on everything runs in the main window's event handlers; closing
    // it ends the program.
    if (!gMainForm)
        return 0;
    return QApplication::exec();
}
