#include "core/GlobalVars.h"
#include "core/BibleBookNames.h"
#include "core/GlobalNotifier.h"
#include "core/Translation.h"

Colours gColours;
Preferences gPreferences;
PageSettingValues gPageSettings;
Folders gFolders;
OpenWindows gOpenWindows;
PrintRequest gPrintRequest;
BookmarkListState gBookmarkList;

GlobalNotifier *gNotifier = nullptr;
std::unique_ptr<BibleBookNames> gBookNames;

FileNameMap gBibles, gCommentaries, gNameDictionaries, gDictionaries;

QString gFavVersesFile;
bool gDebugMode = false;

QWidget *gMainForm = nullptr;

QStringList gMsgTexts;
QStringList gMsgCategories;
bool gMsgLoaded = false;

QString gSettingsSection;

QString Folders::DefaultModuleFolder(const QString &programFolder)
{
    return programFolder + QStringLiteral("Modules/");
}

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
    for (FileNameMap *modules : {&gBibles, &gCommentaries, &gNameDictionaries, &gDictionaries})
        modules->Clear();
    gColours = {};
    gPreferences = {};
    gPageSettings = {};
    gFolders = {};
    gOpenWindows = {};
    gPrintRequest = {};
    gBookmarkList = {};
    gFavVersesFile.clear();
    gDebugMode = false;
    gMainForm = nullptr;
    gMsgTexts.clear();
    gMsgCategories.clear();
    gMsgLoaded = false;
    gSettingsSection.clear();
}
