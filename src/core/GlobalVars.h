#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <memory>

#include "core/FileNameMap.h"

class GlobalNotifier;
class BibleBookNames;
class QWidget;

// The program-wide state, one variable each. Folder paths end with "/".

extern GlobalNotifier *gNotifier;
// Created on first use through BookNames().
extern std::unique_ptr<BibleBookNames> gBookNames;
BibleBookNames &BookNames();

// The installed modules: Bibles (list IDs 0-999), commentaries (1700-1799),
// dictionaries of names (1500-1599) and dictionaries (1600-1699).
extern FileNameMap gBibles, gCommentaries, gNameDictionaries, gDictionaries;

extern qint32 gMaxCountSize;
extern quint32 gBib1TC, gBib1BC;
extern quint32 gBib1H1, gBib1H2, gBib1H3, gBib1H4, gBib1H5;
extern quint32 gBib2TC, gBib2BC;
extern quint8 gBib1Fontsize, gBib2Fontsize;
extern QString gDefaultFont;
extern bool gDeleteTempFilesOnExit;
extern bool gActiveUpdateBib1;

extern QString gProgramFolder;
extern QString gModuleFolder;
extern QString gBibleFolder, gCommentaryFolder, gDictionaryFolder, gNameFolder, gSNotesFolder, gMapsFolder;
extern QString gIndexFolder, gScratchFolder, gSysDefsFolder;
extern QString gMsgFolder;
extern QString gHelpFile;

extern QString gLanguage;
extern QString gDateFormat;
extern QString gFavVersesFile;
extern bool gShowSplash;
extern bool gShowMsgNumbers;
extern bool gDebugMode;

extern bool gCM_IN, gFitToDesktop, gApplyToAllForms;
extern float gWidthPage, gMarginLeft, gMarginRight, gTopMargin, gBottomMargin;
extern float gPageWidthTwips;

extern QWidget *gMainForm;
extern bool gAdvancedSearchOpen;

// Open flags of the study windows, read by the main window when it closes.
extern bool gMultiBibOpen, gNameDictionaryOpen, gDictionaryOpen, gCommentariesOpen, gTLNotesOpen,
    gMapViewerOpen;

extern bool gBookmarksLoaded;
extern int gLastAddedBookmarkRow;

// Print margins in inches, and whether the preview asked for printing.
extern float gPrintMarginLeft, gPrintMarginRight, gPrintMarginTop, gPrintMarginBottom;
extern bool gPrintRequested;

// The message catalog: two categories of ids 1-300.
extern QStringList gMsgTexts;
extern QStringList gMsgCategories;
extern bool gMsgLoaded;

extern QString gSettingsSection;

// Puts every global back to its state before Main ran (tests).
void ResetGlobals();
