#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/NoBibles.h"
#include "mainwindow/frmMessages.h"
#include "platform/KeyState.h"
#include "preferences/frmLocate.h"
#include "study/TLNotes.h"
#include "study/frmCHM.h"
#include "study/frmMP3.h"
#include "study/frmMapViewer.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanox"));
    KeyState::instance();
    frmMessages::Register();
    MainMenu::Register();
    NoBibles::Register();
    frmLocate::Register();
    TLNotes::Register();
    frmMapViewer::Register();
    frmMP3::Register();
    frmCHM::Register();

    if (!TrapErrors(QStringLiteral("MainStartup.Main()"), [] { MainStartup::Main(); }))
        return 1;
    // From here on everything runs in the main window's event handlers; closing
    // it ends the program.
    if (!gMainForm)
        return 0;
    return QApplication::exec();
}
