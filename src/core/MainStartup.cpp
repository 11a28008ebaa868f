#include "core/MainStartup.h"
#include "core/Bug_.h"
#include "core/CheckedNumber.h"
#include "core/CoreHooks.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/VerbanoxRoutines.h"
#include "platform/AppInfo.h"
#include "platform/CodePage.h"
#include "platform/HelpService.h"
#include "platform/InstanceLock.h"
#include "platform/OleColor.h"
#include "platform/SettingsStore.h"
#include "platform/VbConvert.h"

#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace {
const QString Settings = QStringLiteral("Settings");
const QString ModulePathSection = QStringLiteral("Module_Path");
// Catalog texts.
constexpr int AlreadyRunningMsg = 273;
constexpr int LockOnOtherMachineMsg = 263;
constexpr int FoldersNotCreatedMsg = 276;
// What follows when the folder of the indexes or scratch files cannot be made,
// and where a program folder that cannot be written puts them.
constexpr int WorkFoldersMissingMsg = 259;
constexpr int ProgramFolderReadOnlyMsg = 264;

// Start-up values are read directly from the store and converted to their
// global's type; a stored text that does not convert gives the default.
QString setting(const QString &key, const QString &defaultValue, const QString &section = Settings)
{
    return SettingsStore::instance().value(section, key, defaultValue);
}

template <typename T, typename Convert> T settingAs(const QString &key, T defaultValue, Convert convert)
{
    const QString text = setting(key, QStringLiteral("\x01"));
    if (text == QStringLiteral("\x01"))
        return defaultValue;
    const auto value = convert(text);
    return value ? T(*value) : defaultValue;
}

bool boolSetting(const QString &key, bool defaultValue)
{
    return settingAs<bool>(key, defaultValue, VbConvert::toBoolean);
}

// A whole number (halves rounded to even); one outside its range gives the default.
template <typename T> T numberSetting(const QString &key, T defaultValue, CheckedNumber::Range<T> range)
{
    std::optional<double> value = VbConvert::toNumber(setting(key, QString()));
    if (value)
        value = std::nearbyint(*value);
    return CheckedNumber::Within(value, range, defaultValue);
}

// A colour is an RGB value or a system colour the palette has.
quint32 colorSetting(const QString &key, quint32 defaultValue)
{
    return settingAs<quint32>(key, defaultValue, [](const QString &text) -> std::optional<quint32> {
        quint32 rgb = 0;
        if (auto value = VbConvert::toInt32(text); value && OleColor::translate(quint32(*value), &rgb))
            return quint32(*value);
        return std::nullopt;
    });
}

// Reads without writing: a second copy of the program must change nothing. True
// when the language is still to be stored (the first start).
bool readLanguageAndTexts()
{
    const Preferences defaults;
    gMsgFolder = AppInfo::programFolder() + QStringLiteral("msg/");
    gLanguage = setting(QStringLiteral("L"), QStringLiteral("0"));
    if (gLanguage.endsWith(QLatin1Char('_')))
        gLanguage.chop(1);
    const bool storeLanguage = gLanguage == QLatin1String("0");
    if (storeLanguage)
        gLanguage = defaults.language;
    gShowMsgNumbers = boolSetting(QStringLiteral("ShowMsgNumbers"), defaults.showMsgNumbers);
    gHelpFile = AppInfo::programFolder() + QStringLiteral("Help.chm");
    gDateFormat = setting(QStringLiteral("DF"), QStringLiteral("0"));
    if (gDateFormat == QLatin1String("0"))
        gDateFormat = defaults.dateFormat;
    gFavVersesFile = MsgSupport::FavVersesFile(gLanguage);
    gShowSplash = boolSetting(QStringLiteral("ShowSplash"), defaults.showSplash);
    gDefaultFont = setting(QStringLiteral("DEFAULTFONT"), defaults.defaultFont);
    return storeLanguage;
}

// The machine a lock names: its host name, with its id where the name alone
// does not tell it from this one.
QString lockMachine(const InstanceLock::Holder &holder)
{
    if (holder.host.isEmpty())
        return holder.machineId;
    if (holder.host != QSysInfo::machineHostName() || holder.machineId.isEmpty())
        return holder.host;
    return holder.host + QStringLiteral(" (") + holder.machineId + QLatin1Char(')');
}

// One running copy per settings home: two would overwrite each other's settings
// and bookmarks. Where no place can hold the lock the program goes on; the
// first failed write of the settings tells. A lock that names another machine
// (a home shared between machines, or restored from a backup) cannot be checked
// from here: the reader decides, and No leaves before anything was written.
void takeInstanceLock()
{
    const QString folder = SettingsStore::instance().folder();
    InstanceLock::Holder holder;
    InstanceLock::Result result = InstanceLock::acquire(folder, &holder);
    while (result == InstanceLock::Result::HeldElsewhere) {
        const QString question = GetMsg(0, LockOnOtherMachineMsg, lockMachine(holder)) +
                                 QStringLiteral("\r\n\r\n") + QDir::toNativeSeparators(holder.lockFile);
        if (desktop().messageBox(question,
                                 MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2,
                                 QString()) != MsgBoxResult::Yes)
            desktop().endProgram(0);
        result = InstanceLock::takeOver(folder, holder, &holder);
    }
    if (result != InstanceLock::Result::HeldByAnother)
        return;
    desktop().messageBox(GetMsg(0, AlreadyRunningMsg, folder), MsgBoxStyle::Exclamation, QString());
    desktop().endProgram(0);
}

bool programFolderWritable()
{
    return QFileInfo(gProgramFolder).isWritable();
}

// The files the program makes go beside it; where its folder cannot be written
// (a system-wide install), the index, scratch and checksum files go to the user's
// cache folder and the bookmarks to the user's data folder.
void setWorkFolders()
{
    const bool beside = programFolderWritable();
    const QString cache = beside ? gProgramFolder : AppInfo::cacheFolder();
    gIndexFolder = cache + QStringLiteral("Index/");
    gScratchFolder = cache + QStringLiteral("Scratch/");
    gChecksumFolder = beside ? gSysDefsFolder : cache;
    gUserDataFolder = beside ? gProgramFolder : AppInfo::dataFolder();
}

void readFolders()
{
    gProgramFolder = AppInfo::programFolder();
    gSysDefsFolder = gProgramFolder + QStringLiteral("SysDefs/");
    setWorkFolders();

    SettingsStore &store = SettingsStore::instance();
    gModuleFolder = store.value(ModulePathSection, QStringLiteral("ModulePath"), QString());
    if (gModuleFolder.isEmpty()) {
        store.setValue(ModulePathSection, QStringLiteral("ModulePath"),
                       Folders::DefaultModuleFolder(gProgramFolder));
        gModuleFolder = store.value(ModulePathSection, QStringLiteral("ModulePath"), QString());
    }
    // A folder typed or stored without its final separator still names the folder.
    gModuleFolder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!gModuleFolder.endsWith(QLatin1Char('/')))
        gModuleFolder += QLatin1Char('/');
    store.setValue(ModulePathSection, QStringLiteral("VerbanoxPath"), gProgramFolder);
}

void readColoursAndSizes()
{
    const Preferences defaults;
    gMaxCountSize =
        numberSetting(QStringLiteral("MAXCountSize"), defaults.maxCountSize, Preferences::MaxCountSizeRange);
    const Colours defaultColours;
    for (const ColourSetting &entry : ColourSettings)
        gColours.*entry.member = colorSetting(QLatin1String(entry.key), defaultColours.*entry.member);
    gBib2Fontsize =
        numberSetting(QStringLiteral("Bib2Fontsize"), defaults.bib2Fontsize, Preferences::FontsizeRange);
    gBib1Fontsize =
        numberSetting(QStringLiteral("Bib1Fontsize"), defaults.bib1Fontsize, Preferences::FontsizeRange);
    gActiveUpdateBib1 = boolSetting(QStringLiteral("ActiveUpdateBib1"), defaults.activeUpdateBib1);
    gDeleteTempFilesOnExit =
        boolSetting(QStringLiteral("DeleteTempFilesOnExit"), defaults.deleteTempFilesOnExit);
}

void setModuleSubFolders()
{
    gBibleFolder = gModuleFolder + QStringLiteral("Bible/");
    gCommentaryFolder = gModuleFolder + QStringLiteral("Commentary/");
    gDictionaryFolder = gModuleFolder + QStringLiteral("Dictionary/");
    gMapsFolder = gModuleFolder + QStringLiteral("Maps/");
    gNameFolder = gModuleFolder + QStringLiteral("Name/");
    gSNotesFolder = gModuleFolder + QStringLiteral("SNotes/");
}

} // namespace

namespace MainStartup {

void SetUpHelp()
{
    HelpService::setHelpFile(gHelpFile);
    HelpService::setFailureReporter([](const QString &file, const QString &reason) {
        desktop().messageBox(GetMsg(0, 240, file) + QStringLiteral("\r\n\r\n") + reason,
                             MsgBoxStyle::Exclamation, AppInfo::title());
    });
    HelpService::installF1Handler();
}

QString RevisionText()
{
    return QString::number(AppInfo::versionMajor()) + QString::number(AppInfo::versionMinor()) +
           QString::number(AppInfo::versionRevision());
}

void CheckNewVersion()
{
    const QString revision = RevisionText();
    if (Registry_::GetString(QStringLiteral("Revision"), QStringLiteral("---")) == revision)
        return;
    // A program folder the user cannot write is the installer's to fill: what
    // it lacks there is not the reader's to create.
    const bool installedReadOnly = !programFolderWritable();
    QStringList failed;
    bool workFolderFailed = false;
    for (const QString &folder :
         {gIndexFolder, gScratchFolder, gSysDefsFolder, gModuleFolder, gBibleFolder, gCommentaryFolder,
          gDictionaryFolder, gMapsFolder, gNameFolder, gSNotesFolder}) {
        if (installedReadOnly && folder.startsWith(gProgramFolder))
            continue;
        try {
            FileFunctions_::MakeFolder(folder);
        } catch (const RuntimeError &e) {
            // The error names the folder and gives the system's reason.
            failed.append(e.description());
            if (folder == gIndexFolder || folder == gScratchFolder) {
                workFolderFailed = true;
                // Told here with what follows: the index or scratch file that
                // cannot be written there is not told again.
                Translation::FolderToldOf(folder);
            }
        }
    }
    if (!failed.isEmpty()) {
        const QString paragraph = QStringLiteral("\r\n\r\n");
        QString text = GetMsg(0, FoldersNotCreatedMsg) + paragraph + failed.join(QStringLiteral("\r\n"));
        if (workFolderFailed) {
            if (installedReadOnly)
                text += paragraph + GetMsg(0, ProgramFolderReadOnlyMsg, gProgramFolder) +
                        QStringLiteral("\r\n") + gUserDataFolder;
            text += paragraph + GetMsg(0, WorkFoldersMissingMsg);
        }
        // Without "Revision" saved, the next start tries again.
        desktop().messageBox(text, MsgBoxStyle::Exclamation, QString());
        return;
    }
    Registry_::SaveString(QStringLiteral("Revision"), revision);
}

void Main()
{
    Registry_::Initialize(Settings);
    if (!gNotifier)
        gNotifier = new GlobalNotifier();
    // QRandomGenerator::global() is seeded by the system; nothing to seed here.
    CodePage::setUnknownCodePageHandler([](const QString &message) { AssertFailed(message); });

    const bool storeLanguage = readLanguageAndTexts();
    takeInstanceLock();
    // Lines of the settings that could not be read are told now, not at the
    // first write, which may come only when the program closes.
    Registry_::TellDamagedSettings();
    if (storeLanguage)
        SettingsStore::instance().setValue(Settings, QStringLiteral("L"), gLanguage + QLatin1Char('_'));
    SetUpHelp();
    readFolders();
    readColoursAndSizes();
    setModuleSubFolders();
    CheckNewVersion();
    VerbanoxRoutines::LoadTranslationsList();
    PageSettings::ReadPageSettings(true);
    gMainForm = CoreHooks::ShowMainWindow();
}

} // namespace MainStartup
