#include "bookmarks/PageSetup.h"
#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmDocPreview.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/NoBibles.h"
#include "mainwindow/frmMessages.h"
#include "platform/KeyState.h"
#include "platform/ShutdownGuard.h"
#include "preferences/LanguageE.h"
#include "preferences/frmDateFormat.h"
#include "preferences/frmFontChooser.h"
#include "preferences/frmLocate.h"
#include "preferences/frmOptions.h"
#include "search/AdvancedSearch.h"
#include "search/NotesRecovery.h"
#include "study/Commentaries.h"
#include "study/Dictionary.h"
#include "study/MultiBib.h"
#include "study/TLNotes.h"
#include "study/frmCHM.h"
#include "study/frmMP3.h"
#include "study/frmMapViewer.h"
#include "study/frmNameDictionary.h"

#include <QApplication>
#include <QTimer>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanox"));
    KeyState::instance();
    frmMessages::Register();
    MainMenu::Register();
    NoBibles::Register();
    frmLocate::Register();
    PageSetup::Register();
    frmDocPreview::Register();
    frmBookmarkList::Register();
    AdvancedSearch::Register();
    MultiBib::Register();
    Commentaries::Register();
    Dictionary::Register();
    frmNameDictionary::Register();
    frmOptions::Register();
    frmDateFormat::Register();
    LanguageE::Register();
    frmFontChooser::Register();
    TLNotes::Register();
    frmMapViewer::Register();
    frmMP3::Register();
    frmCHM::Register();

    // Before the start-up: its windows take notes as soon as they show, and the
    // start-up lets events run (the splash, questions) before it returns.
    ShutdownGuard::install(&AdvancedSearch::KeepUnsavedNotes);
    if (!TrapErrors(QStringLiteral("MainStartup.Main()"), [] { MainStartup::Main(); }))
        return 1;
    // From here on everything runs in the main window's event handlers; closing
    // it ends the program, after asking about unsaved notes.
    if (!gMainForm)
        return 0;
    ShutdownGuard::keepAtExit(&NotesRecovery::Prepare);
    QTimer::singleShot(0, &AdvancedSearch::OfferKeptNotes);
    return QApplication::exec();
}
