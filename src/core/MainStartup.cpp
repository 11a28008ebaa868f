#include "core/MainStartup.h"
#include "core/Bug_.h"
#include "core/CoreHooks.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/PageSettings.h"
#include "core/Registry_.h"
#include "core/VerbanoxRoutines.h"
#include "platform/AppInfo.h"
#include "platform/CodePage.h"
#include "platform/HelpService.h"
#include "platform/SettingsStore.h"
#include "platform/VbConvert.h"

namespace {
const QString Settings = QStringLiteral("Settings");
const QString ModulePathSection = QStringLiteral("Module_Path");

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

quint32 colorSetting(const QString &key, quint32 defaultValue)
{
    return settingAs<quint32>(key, defaultValue, [](const QString &text) -> std::optional<quint32> {
        if (auto value = VbConvert::toInt32(text))
            return quint32(*value);
        return std::nullopt;
    });
}

void readLanguageAndTexts()
{
    gMsgFolder = AppInfo::programFolder() + QStringLiteral("msg/");
    gLanguage = setting(QStringLiteral("L"), QStringLiteral("0"));
    if (gLanguage.endsWith(QLatin1Char('_')))
        gLanguage.chop(1);
    if (gLanguage == QLatin1String("0")) {
        gLanguage = QStringLiteral("ENGLISH");
        SettingsStore::instance().setValue(Settings, QStringLiteral("L"), QStringLiteral("ENGLISH_"));
    }
    gShowMsgNumbers = boolSetting(QStringLiteral("ShowMsgNumbers"), false);
    gHelpFile = AppInfo::programFolder() + QStringLiteral("Help.chm");
    gDateFormat = setting(QStringLiteral("DF"), QStringLiteral("0"));
    if (gDateFormat == QLatin1String("0"))
        gDateFormat = QStringLiteral("dd-MMM-yyyy");
    gFavVersesFile = MsgSupport::FavVersesFile(gLanguage);
    gShowSplash = boolSetting(QStringLiteral("ShowSplash"), true);
    gDefaultFont = setting(QStringLiteral("DEFAULTFONT"), QStringLiteral("Times New Roman"));
}

void readFolders()
{
    gProgramFolder = AppInfo::programFolder();
    gIndexFolder = gProgramFolder + QStringLiteral("Index/");
    gScratchFolder = gProgramFolder + QStringLiteral("Scratch/");
    gSysDefsFolder = gProgramFolder + QStringLiteral("SysDefs/");

    SettingsStore &store = SettingsStore::instance();
    gModuleFolder = store.value(ModulePathSection, QStringLiteral("ModulePath"), QString());
    if (gModuleFolder.isEmpty()) {
        store.setValue(ModulePathSection, QStringLiteral("ModulePath"),
                       gProgramFolder + QStringLiteral("Modules/"));
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
    gMaxCountSize = settingAs<qint32>(QStringLiteral("MAXCountSize"), 500, VbConvert::toInt32);
    gBib1TC = colorSetting(QStringLiteral("Bib1TC"), 0);
    gBib1BC = colorSetting(QStringLiteral("Bib1BC"), 0xF0F0F0);
    gBib1H1 = colorSetting(QStringLiteral("Bib1H1"), 255);
    gBib1H2 = colorSetting(QStringLiteral("Bib1H2"), 0xFF0000);
    gBib1H3 = colorSetting(QStringLiteral("Bib1H3"), 0xA2B500);
    gBib1H4 = colorSetting(QStringLiteral("Bib1H4"), 0x00ADF4);
    gBib1H5 = colorSetting(QStringLiteral("Bib1H5"), 0xFF7A7A);
    gBib2TC = colorSetting(QStringLiteral("Bib2TC"), 0);
    gBib2BC = colorSetting(QStringLiteral("Bib2BC"), 0xDCDCDC);
    gBib2Fontsize = settingAs<quint8>(QStringLiteral("Bib2Fontsize"), 12, VbConvert::toByte);
    gBib1Fontsize = settingAs<quint8>(QStringLiteral("Bib1Fontsize"), 12, VbConvert::toByte);
    gActiveUpdateBib1 = boolSetting(QStringLiteral("ActiveUpdateBib1"), false);
    gDeleteTempFilesOnExit = boolSetting(QStringLiteral("DeleteTempFilesOnExit"), true);
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
    QString failed;
    for (const QString &folder :
         {gIndexFolder, gScratchFolder, gSysDefsFolder, gModuleFolder, gBibleFolder, gCommentaryFolder,
          gDictionaryFolder, gMapsFolder, gNameFolder, gSNotesFolder}) {
        if (!IgnoreErrors([&] { FileFunctions_::MakeFolder(folder); }))
            failed += QStringLiteral("\r\n") + folder;
    }
    if (!failed.isEmpty()) {
        // Without "Revision" saved, the next start tries again.
        desktop().messageBox(QStringLiteral("These folders could not be created:") + failed,
                             MsgBoxStyle::Exclamation, QString());
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

    readLanguageAndTexts();
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
