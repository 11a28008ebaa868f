#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <array>
#include <memory>

#include "core/CheckedNumber.h"
#include "core/FileNameMap.h"

class GlobalNotifier;
class BibleBookNames;
class QWidget;

// The program-wide state. Related values are kept together in a group whose
// member initialisers are the defaults: the definitions, ResetGlobals and
// start-up (for a setting the store lacks) all take them from there, so a
// value-initialised group (Colours{}) is the set of defaults. The program's
// names for the values (gBib1TC, gModuleFolder, ...) refer to the members.

// Colours of the first Bible pane (the workspace's result pane) with its five
// highlight colours, and of the second (the comparison window); 0x00BBGGRR.
struct Colours
{
    quint32 bib1TC = 0x000000; // text
    quint32 bib1BC = 0xF0F0F0; // background
    quint32 bib1H1 = 0x0000FF;
    quint32 bib1H2 = 0xFF0000;
    quint32 bib1H3 = 0xA2B500;
    quint32 bib1H4 = 0x00ADF4;
    quint32 bib1H5 = 0xFF7A7A;
    quint32 bib2TC = 0x000000;
    quint32 bib2BC = 0xDCDCDC;
};

// The setting of section "Settings" that holds each colour, in the order
// start-up reads them and the Options window writes them.
struct ColourSetting
{
    const char *key;
    quint32 Colours::*member;
};
inline constexpr std::array<ColourSetting, 9> ColourSettings{{
    {"Bib1TC", &Colours::bib1TC},
    {"Bib1BC", &Colours::bib1BC},
    {"Bib1H1", &Colours::bib1H1},
    {"Bib1H2", &Colours::bib1H2},
    {"Bib1H3", &Colours::bib1H3},
    {"Bib1H4", &Colours::bib1H4},
    {"Bib1H5", &Colours::bib1H5},
    {"Bib2TC", &Colours::bib2TC},
    {"Bib2BC", &Colours::bib2BC},
}};

extern Colours gColours;
inline quint32 &gBib1TC = gColours.bib1TC;
inline quint32 &gBib1BC = gColours.bib1BC;
inline quint32 &gBib1H1 = gColours.bib1H1;
inline quint32 &gBib1H2 = gColours.bib1H2;
inline quint32 &gBib1H3 = gColours.bib1H3;
inline quint32 &gBib1H4 = gColours.bib1H4;
inline quint32 &gBib1H5 = gColours.bib1H5;
inline quint32 &gBib2TC = gColours.bib2TC;
inline quint32 &gBib2BC = gColours.bib2BC;

// The other settings of section "Settings" that start-up reads, under the key
// named beside each.
struct Preferences
{
    qint32 maxCountSize = 500;                               // "MAXCountSize": highlight limit
    quint8 bib1Fontsize = 12;                                // "Bib1Fontsize"
    quint8 bib2Fontsize = 12;                                // "Bib2Fontsize"
    QString defaultFont = QStringLiteral("Times New Roman"); // "DEFAULTFONT"
    bool deleteTempFilesOnExit = true;                       // "DeleteTempFilesOnExit"
    bool activeUpdateBib1 = false;                           // "ActiveUpdateBib1"
    bool showSplash = true;                                  // "ShowSplash"
    bool showMsgNumbers = false;                             // "ShowMsgNumbers"
    QString language = QStringLiteral("ENGLISH");            // "L", stored with a final "_"
    QString dateFormat = QStringLiteral("dd-MMM-yyyy");      // "DF", where "0" stands for it

    // The values the Options window accepts; a stored one outside takes the default.
    static constexpr CheckedNumber::Range<qint32> MaxCountSizeRange{10, 50000};
    static constexpr CheckedNumber::Range<quint8> FontsizeRange{6, 32};
};

extern Preferences gPreferences;
inline qint32 &gMaxCountSize = gPreferences.maxCountSize;
inline quint8 &gBib1Fontsize = gPreferences.bib1Fontsize;
inline quint8 &gBib2Fontsize = gPreferences.bib2Fontsize;
inline QString &gDefaultFont = gPreferences.defaultFont;
inline bool &gDeleteTempFilesOnExit = gPreferences.deleteTempFilesOnExit;
inline bool &gActiveUpdateBib1 = gPreferences.activeUpdateBib1;
inline bool &gShowSplash = gPreferences.showSplash;
inline bool &gShowMsgNumbers = gPreferences.showMsgNumbers;
inline QString &gLanguage = gPreferences.language;
inline QString &gDateFormat = gPreferences.dateFormat;

// The page settings of section "Settings" (core/PageSettings reads and writes
// them), with the page width in twips that the layout derives from them.
struct PageSettingValues
{
    bool inches = false;          // "CM_IN": lengths in inches, else millimetres
    bool fitToDesktop = true;     // "FitToDesktop"
    bool applyToAllForms = false; // "ApplyToAllForms"
    float widthPage = 0;          // "WidthPage"
    float marginLeft = 0;         // "MarginLeft"
    float marginRight = 0;        // "MarginRight"
    float topMargin = 0;          // "gTopMargin"
    float bottomMargin = 0;       // "gBottomMargin"
    float pageWidthTwips = 0;     // the page width in twips, set by the layout

    // The lengths the page setup offers in each unit (a millimetre margin of 100
    // becomes 4 inches); a stored length outside them takes the default.
    static constexpr CheckedNumber::Range<float> WidthMillimetres{0, 429};
    static constexpr CheckedNumber::Range<float> MarginMillimetres{0, 100};
    static constexpr CheckedNumber::Range<float> WidthInches{0, 16.9f};
    static constexpr CheckedNumber::Range<float> MarginInches{0, 4};
    // The lengths the page setup's lists offer, and the only ones it stores.
    static constexpr CheckedNumber::Range<float> OfferedWidthMillimetres{76, 429};
    static constexpr CheckedNumber::Range<float> OfferedMarginMillimetres{0, 100};
    static constexpr CheckedNumber::Range<float> OfferedWidthInches{3, 16.9f};
    static constexpr CheckedNumber::Range<float> OfferedMarginInches{0, 3.9f};
};

extern PageSettingValues gPageSettings;
inline bool &gCM_IN = gPageSettings.inches;
inline bool &gFitToDesktop = gPageSettings.fitToDesktop;
inline bool &gApplyToAllForms = gPageSettings.applyToAllForms;
inline float &gWidthPage = gPageSettings.widthPage;
inline float &gMarginLeft = gPageSettings.marginLeft;
inline float &gMarginRight = gPageSettings.marginRight;
inline float &gTopMargin = gPageSettings.topMargin;
inline float &gBottomMargin = gPageSettings.bottomMargin;
inline float &gPageWidthTwips = gPageSettings.pageWidthTwips;

// The program's folders, each ending with "/", and its help file; empty until
// start-up sets them.
struct Folders
{
    QString program;
    QString module; // setting "ModulePath" of section "Module_Path"
    QString bible, commentary, dictionary, name, sNotes, maps; // under the module folder
    QString sysDefs;                                           // under the program folder
    // Under the program folder, or where that cannot be written (a system-wide
    // install) the index and scratch files under the user's cache folder.
    QString index, scratch;
    // The module checksums the program makes ("CRC_<file>"): the SysDefs folder,
    // or the user's cache folder where the program folder cannot be written.
    QString checksums;
    // Holds "Bookmarks.txt" and the "Bookmarks/" documents: the program folder,
    // or the user's data folder where that cannot be written.
    QString userData;
    QString msg;
    QString helpFile;

    // The module folder when "ModulePath" is empty: "Modules/" in the program folder.
    static QString DefaultModuleFolder(const QString &programFolder);
};

extern Folders gFolders;
inline QString &gProgramFolder = gFolders.program;
inline QString &gModuleFolder = gFolders.module;
inline QString &gBibleFolder = gFolders.bible;
inline QString &gCommentaryFolder = gFolders.commentary;
inline QString &gDictionaryFolder = gFolders.dictionary;
inline QString &gNameFolder = gFolders.name;
inline QString &gSNotesFolder = gFolders.sNotes;
inline QString &gMapsFolder = gFolders.maps;
inline QString &gIndexFolder = gFolders.index;
inline QString &gScratchFolder = gFolders.scratch;
inline QString &gChecksumFolder = gFolders.checksums;
inline QString &gSysDefsFolder = gFolders.sysDefs;
inline QString &gUserDataFolder = gFolders.userData;
inline QString &gMsgFolder = gFolders.msg;
inline QString &gHelpFile = gFolders.helpFile;

// Which windows are loaded: the search workspace, and the study windows, whose
// flags the main window reads when it closes.
struct OpenWindows
{
    bool advancedSearch = false;
    bool multiBib = false;
    bool nameDictionary = false;
    bool dictionary = false;
    bool commentaries = false;
    bool tlNotes = false;
    bool mapViewer = false;
};

extern OpenWindows gOpenWindows;
inline bool &gAdvancedSearchOpen = gOpenWindows.advancedSearch;
inline bool &gMultiBibOpen = gOpenWindows.multiBib;
inline bool &gNameDictionaryOpen = gOpenWindows.nameDictionary;
inline bool &gDictionaryOpen = gOpenWindows.dictionary;
inline bool &gCommentariesOpen = gOpenWindows.commentaries;
inline bool &gTLNotesOpen = gOpenWindows.tlNotes;
inline bool &gMapViewerOpen = gOpenWindows.mapViewer;

// Print margins in inches, set by the workspace for its preview, and whether
// the preview asked for printing.
struct PrintRequest
{
    float marginLeft = 0;
    float marginRight = 0;
    float marginTop = 0;
    float marginBottom = 0;
    bool requested = false;
};

extern PrintRequest gPrintRequest;
inline float &gPrintMarginLeft = gPrintRequest.marginLeft;
inline float &gPrintMarginRight = gPrintRequest.marginRight;
inline float &gPrintMarginTop = gPrintRequest.marginTop;
inline float &gPrintMarginBottom = gPrintRequest.marginBottom;
inline bool &gPrintRequested = gPrintRequest.requested;

// Whether the bookmark list has been read, and the row of the bookmark added
// last (-1: none yet).
struct BookmarkListState
{
    bool loaded = false;
    int lastAddedRow = -1;
};

extern BookmarkListState gBookmarkList;
inline bool &gBookmarksLoaded = gBookmarkList.loaded;
inline int &gLastAddedBookmarkRow = gBookmarkList.lastAddedRow;

// State that is not grouped: its start value is the empty value of its type.

extern GlobalNotifier *gNotifier;
// Created on first use through BookNames().
extern std::unique_ptr<BibleBookNames> gBookNames;
BibleBookNames &BookNames();

// The installed modules: Bibles (list IDs 0-999), commentaries (1700-1799),
// dictionaries of names (1500-1599) and dictionaries (1600-1699).
extern FileNameMap gBibles, gCommentaries, gNameDictionaries, gDictionaries;

// The favourite verses' file name: the language followed by "_FavVerses.txt".
extern QString gFavVersesFile;
// The hidden debug mode, which switches the assertion boxes on.
extern bool gDebugMode;
extern QWidget *gMainForm;

// The message catalog: two categories of ids 1-300.
extern QStringList gMsgTexts;
extern QStringList gMsgCategories;
extern bool gMsgLoaded;

extern QString gSettingsSection;

// Puts every global back to its state before Main ran (tests).
void ResetGlobals();
