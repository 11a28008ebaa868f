#include "core/GlobalVars.h"
#include "core/BibleBookNames.h"
#include "core/GlobalNotifier.h"
#include "core/Translation.h"

GlobalNotifier *gNotifier = nullptr;
std::unique_ptr<BibleBookNames> gBookNames;

FileNameMap gBibles, gCommentaries, gNameDictionaries, gDictionaries;

qint32 gMaxCountSize = 500;
quint32 gBib1TC = 0, gBib1BC = 0xF0F0F0;
quint32 gBib1H1 = 0x0000FF, gBib1H2 = 0xFF0000, gBib1H3 = 0xA2B500, gBib1H4 = 0x00ADF4, gBib1H5 = 0xFF7A7A;
quint32 gBib2TC = 0, gBib2BC = 0xDCDCDC;
quint8 gBib1Fontsize = 12, gBib2Fontsize = 12;
QString gDefaultFont = QStringLiteral("Times New Roman");
bool gDeleteTempFilesOnExit = true;
bool gActiveUpdateBib1 = false;

QString gProgramFolder;
QString gModuleFolder;
QString gBibleFolder, gCommentaryFolder, gDictionaryFolder, gNameFolder, gSNotesFolder, gMapsFolder;
QString gIndexFolder, gScratchFolder, gSysDefsFolder;
QString gMsgFolder;
QString gHelpFile;

QString gLanguage = QStringLiteral("ENGLISH");
QString gDateFormat = QStringLiteral("dd-MMM-yyyy");
QString gFavVersesFile;
bool gShowSplash = true;
bool gShowMsgNumbers = false;
bool gDebugMode = false;

bool gCM_IN = false, gFitToDesktop = true, gApplyToAllForms = false;
float gWidthPage = 0, gMarginLeft = 0, gMarginRight = 0, gTopMargin = 0, gBottomMargin = 0;
float gPageWidthTwips = 0;

QWidget *gMainForm = nullptr;
bool gAdvancedSearchOpen = false;

bool gMultiBibOpen = false, gNameDictionaryOpen = false, gDictionaryOpen = false, gCommentariesOpen = false,
     gTLNotesOpen = false, gMapViewerOpen = false;

bool gBookmarksLoaded = false;
int gLastAddedBookmarkRow = -1;

float gPrintMarginLeft = 0, gPrintMarginRight = 0, gPrintMarginTop = 0, gPrintMarginBottom = 0;
bool gPrintRequested = false;

QStringList gMsgTexts;
QStringList gMsgCategories;
bool gMsgLoaded = false;

QString gSettingsSection;

BibleBookNames &BookNames()
{
    if (!gBookNames)
        gBookNames = std::make_unique<BibleBookNames>();
    return *gBookNames;
}

void ResetGlobals()
{
    delete gNotifier;
    gNotifier = nullptr;
    gBookNames.reset();
    gBibles.Clear();
    gCommentaries.Clear();
    gNameDictionaries.Clear();
    gDictionaries.Clear();
    gMaxCountSize = 500;
    gBib1TC = 0;
    gBib1BC = 0xF0F0F0;
    gBib1H1 = 0x0000FF;
    gBib1H2 = 0xFF0000;
    gBib1H3 = 0xA2B500;
    gBib1H4 = 0x00ADF4;
    gBib1H5 = 0xFF7A7A;
    gBib2TC = 0;
    gBib2BC = 0xDCDCDC;
    gBib1Fontsize = gBib2Fontsize = 12;
    gDefaultFont = QStringLiteral("Times New Roman");
    gDeleteTempFilesOnExit = true;
    gActiveUpdateBib1 = false;
    gProgramFolder.clear();
    gModuleFolder.clear();
    gBibleFolder.clear();
    gCommentaryFolder.clear();
    gDictionaryFolder.clear();
    gNameFolder.clear();
    gSNotesFolder.clear();
    gMapsFolder.clear();
    gIndexFolder.clear();
    gScratchFolder.clear();
    gSysDefsFolder.clear();
    gMsgFolder.clear();
    gHelpFile.clear();
    gLanguage = QStringLiteral("ENGLISH");
    gDateFormat = QStringLiteral("dd-MMM-yyyy");
    gFavVersesFile.clear();
    gShowSplash = true;
    gShowMsgNumbers = false;
    gDebugMode = false;
    gCM_IN = false;
    gFitToDesktop = true;
    gApplyToAllForms = false;
    gWidthPage = gMarginLeft = gMarginRight = gTopMargin = gBottomMargin = 0;
    gPageWidthTwips = 0;
    gMainForm = nullptr;
    gAdvancedSearchOpen = false;
    gMultiBibOpen = gNameDictionaryOpen = gDictionaryOpen = gCommentariesOpen = gTLNotesOpen =
        gMapViewerOpen = false;
    gBookmarksLoaded = false;
    gLastAddedBookmarkRow = -1;
    gPrintMarginLeft = gPrintMarginRight = gPrintMarginTop = gPrintMarginBottom = 0;
    gPrintRequested = false;
    gMsgTexts.clear();
    gMsgCategories.clear();
    gMsgLoaded = false;
    gSettingsSection.clear();
}
