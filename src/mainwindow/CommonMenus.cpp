#include "mainwindow/CommonMenus.h"

#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalNotifier.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/ModuleMaintenance.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "core/UrlHelpers_.h"
#include "mainwindow/Indemnity.h"
#include "mainwindow/Splash.h"
#include "mainwindow/frmAbout.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/RuntimeError.h"

#include <QAction>
#include <QWidget>

using ModuleMaintenance::ModuleKind;

namespace {
constexpr int ChmNotInstalledMsg = 41;
constexpr int DateFormatCaptionId = 89;

// The Integrity Check items, in the order Integrity Check > All runs them.
struct IntegrityItem
{
    ModuleKind kind;
    const char *name;
    int captionId;
    const char *fixedCaption;
};
const IntegrityItem IntegrityItems[] = {
    {ModuleKind::Bibles, "mIntegrityBibles", 98, "&Bibles"},
    {ModuleKind::Commentaries, "mIntegrityCommentaries", 99, "&Commentaries"},
    {ModuleKind::Dictionaries, "mIntegrityDictionaries", 100, "&Dictionaries"},
    {ModuleKind::Names, "mIntegrityNames", 101, "&Names"},
};

QString onWebSite(const QString &path)
{
    QString site = MiscHelpers::WebSiteAddress();
    while (site.endsWith(QLatin1Char('/')))
        site.chop(1);
    return site + (path.startsWith(QLatin1Char('/')) ? path : QLatin1Char('/') + path);
}

// Modules of the kind are installed; Bibles need no rule (the program does not
// run without one).
std::function<bool()> installed(ModuleKind kind)
{
    if (kind == ModuleKind::Bibles)
        return {};
    return CommonMenus::WhenAnyFile(&ModuleMaintenance::ModuleFolder(kind), QStringLiteral("*.txt"));
}

void showModal(MenuTargets::Target target)
{
    const MenuTargets::Window &window = MenuTargets::Get(target);
    if (!window.showModal)
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.MainMenu"),
                   QStringLiteral("The dialog cannot be shown."));
    window.showModal();
}

// Without CHM Bibles the item offers their download page, which works now.
void chmBibles(MenuCall &call)
{
    CommonMenus::OpenChmBibles(CommonMenus::ChmBiblesInstalled(), call.window());
}

void showMessageNumbers(MenuCall &call)
{
    call.errors.step([&] { gShowMsgNumbers = call.checked(); });
    call.errors.step([] {
        if (gNotifier)
            gNotifier->NotifyOfEvent(GlobalNotifier::InternationalChanged);
    });
    call.errors.step([] {
        Registry_::SaveString(QStringLiteral("ShowMsgNumbers"),
                              gShowMsgNumbers ? QStringLiteral("True") : QStringLiteral("False"),
                              QStringLiteral("Settings"));
    });
}

void checkAllKinds(MenuCall &call)
{
    ModuleMaintenance::BeginCheckOfAll();
    for (const IntegrityItem &item : IntegrityItems) {
        // A Cancel ends the whole run, not only the kind it came in.
        if (ModuleMaintenance::CheckCancelled())
            break;
        const QString name = QLatin1String(item.name);
        // Each kind runs when its item is enabled now, and reports as its own item.
        const QAction *action = call.table.action(name);
        if (action && action->isEnabled())
            call.table.runAs(name, [kind = item.kind] { ModuleMaintenance::ContinueCheck(kind); });
    }
}

void helpContents(MenuCall &)
{
    HelpService::showHelp();
}

void bugReport(MenuCall &call)
{
    if (call.item && call.item->text() == CommonMenus::DebugCaption) {
        gDebugMode = !gDebugMode;
        call.item->setChecked(gDebugMode);
        return;
    }
    OpenUrl(CommonMenus::BugReportAddress(), call.window());
}

MenuHandler modal(void (*show)())
{
    return [show](MenuCall &) { show(); };
}
} // namespace

namespace CommonMenus {

MenuHandler RaiseWindow(MenuTargets::Target target)
{
    return [target](MenuCall &) {
        QWidget *window = MenuTargets::Get(target).instance();
        // A window with nothing to show has said so and is gone.
        if (!window)
            return;
        window->setVisible(true);
        window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        window->raise();
        window->activateWindow();
    };
}

MenuHandler ShowWindow(MenuTargets::Target target)
{
    return [target](MenuCall &) { MenuTargets::Get(target).instance()->setVisible(true); };
}

MenuHandler ShowModal(MenuTargets::Target target)
{
    return [target](MenuCall &) { showModal(target); };
}

MenuHandler OpenPage(std::function<QString()> address)
{
    return [address = std::move(address)](MenuCall &call) { OpenUrl(address(), call.window()); };
}

std::function<bool()> WhenRegistered(MenuTargets::Target target)
{
    return [target] { return MenuTargets::IsRegistered(target); };
}

std::function<bool()> WhenAnyFile(const QString *folder, const QString &pattern)
{
    return [folder, pattern] { return !FileNames::listFiles(*folder, pattern).isEmpty(); };
}

std::function<bool()> WhenBoth(std::function<bool()> first, std::function<bool()> second)
{
    return [first = std::move(first), second = std::move(second)] { return first() && second(); };
}

MenuItem View(MenuHandler integrateNames)
{
    using M = MenuItem;
    using T = MenuTargets;
    const auto maps = WhenAnyFile(&gMapsFolder, QStringLiteral("*.jpg"));
    const auto notes = [] {
        return FileFunctions_::FileExists(gModuleFolder + QStringLiteral("TLNotes.txt"));
    };
    return M::Menu(
        QStringLiteral("zView"), 77, QStringLiteral("&View"),
        {
            M::Item(QStringLiteral("mWindowBookmarks"), 91, QStringLiteral("&Bookmarks"),
                    ShowWindow(T::BookmarkList))
                .enabledWhen(WhenRegistered(T::BookmarkList)),
            M::Item(QStringLiteral("mWindowAdvancedSearch"), 200, QStringLiteral("&Search and Notes"),
                    RaiseWindow(T::AdvancedSearch))
                .enabledWhen(WhenRegistered(T::AdvancedSearch)),
            M::Line(),
            M::Item(QStringLiteral("mWindowMultiBible"), 78, QStringLiteral("&Multi Bible"),
                    RaiseWindow(T::MultiBib))
                .withPicture(14)
                .enabledWhen(WhenRegistered(T::MultiBib)),
            M::Item(QStringLiteral("mWindowCommentary"), 79, QStringLiteral("&Commentary"),
                    RaiseWindow(T::Commentaries))
                .withPicture(17)
                .enabledWhen(WhenBoth(installed(ModuleKind::Commentaries), WhenRegistered(T::Commentaries))),
            M::Line(),
            M::Item(QStringLiteral("mWindowDictionary"), 80, QStringLiteral("&Dictionary"),
                    RaiseWindow(T::Dictionary))
                .withPicture(16)
                .enabledWhen(WhenBoth(installed(ModuleKind::Dictionaries), WhenRegistered(T::Dictionary))),
            M::Item(QStringLiteral("mWindowNames"), 82, QStringLiteral("&Names"),
                    RaiseWindow(T::NameDictionary))
                .withPicture(15)
                .enabledWhen(WhenBoth(installed(ModuleKind::Names), WhenRegistered(T::NameDictionary))),
            M::Item(QStringLiteral("mIntegrateNames"), 83, QStringLiteral("&Integrate Names"),
                    std::move(integrateNames))
                .checkItem(true)
                .enabledWhen(installed(ModuleKind::Names)),
            M::Line(),
            M::Item(QStringLiteral("mWindowMaps"), 81, QStringLiteral("M&aps"), ShowWindow(T::MapViewer))
                .enabledWhen(WhenBoth(maps, WhenRegistered(T::MapViewer))),
            M::Line(),
            M::Item(QStringLiteral("mWindowTranslationNotes"), 87, QStringLiteral("&Translation Notes"),
                    ShowWindow(T::TLNotes))
                .enabledWhen(WhenBoth(notes, WhenRegistered(T::TLNotes))),
            M::Line(),
            M::Item(QStringLiteral("mViewMp3Bibles"), 204, QStringLiteral("MP&3 Bibles"), ShowWindow(T::MP3))
                .enabledWhen(WhenRegistered(T::MP3)),
            M::Item(QStringLiteral("mViewChmBibles"), 203, QStringLiteral("C&HM Bibles"), chmBibles)
                .enabledWhen(
                    [] { return !ChmBiblesInstalled() || MenuTargets::IsRegistered(MenuTargets::CHM); }),
        });
}

MenuItem Tools()
{
    using M = MenuItem;
    using T = MenuTargets;
    QList<MenuItem> integrity;
    for (const IntegrityItem &item : IntegrityItems) {
        MenuItem row = M::Item(QLatin1String(item.name), item.captionId, QLatin1String(item.fixedCaption),
                               [kind = item.kind](MenuCall &) { ModuleMaintenance::CheckKind(kind); });
        row.enabling = installed(item.kind);
        integrity.append(row);
    }
    // "All" has its own text; 102 is the module-folder chooser's label.
    integrity << M::Line()
              << M::Item(QStringLiteral("mIntegrityAll"), 202, QStringLiteral("&All"), checkAllKinds);
    return M::Menu(
        QStringLiteral("zTools"), 92, QStringLiteral("&Tools"),
        {
            M::Item(QStringLiteral("mToolsOptions"), 95, QStringLiteral("&Options..."), ShowModal(T::Options))
                .enabledWhen(WhenRegistered(T::Options)),
            M::Item(QStringLiteral("mToolsDateFormat"), 169, QStringLiteral("&Date Format..."),
                    ShowModal(T::DateFormat))
                .enabledWhen(WhenRegistered(T::DateFormat)),
            M::Line(),
            M::Item(QStringLiteral("mToolsLanguageEditor"), 93, QStringLiteral("&Language Editor..."),
                    ShowModal(T::LanguageEditor))
                .enabledWhen(WhenRegistered(T::LanguageEditor)),
            M::Item(QStringLiteral("mToolsShowMsgNums"), 199, QStringLiteral("Show &Message Numbers"),
                    showMessageNumbers)
                .checkItem(false),
            M::Line(),
            M::Item(QStringLiteral("mToolsReIndex"), 96, QStringLiteral("&Re-index Modules"),
                    [](MenuCall &call) { ModuleMaintenance::ReIndex(call.errors); }),
            M::Menu(QStringLiteral("zIntegrityCheck"), 97, QStringLiteral("&Integrity Check"), integrity),
            M::Line(),
            M::Item(QStringLiteral("mToolsSetFolders"), 94, QStringLiteral("Set &Folders..."),
                    ShowModal(T::FolderChooser)),
        });
}

MenuItem Web()
{
    using M = MenuItem;
    return M::Menu(QStringLiteral("zWeb"), 103, QStringLiteral("&Web"),
                   {
                       M::Item(QStringLiteral("mGotoWebsite"), 105, QStringLiteral("&Go to Web Site"),
                               OpenPage(MiscHelpers::WebSiteAddress)),
                       M::Item(QStringLiteral("mDiscussionForum"), 104, QStringLiteral("&Discussion Forum"),
                               OpenPage(ForumAddress)),
                       M::Item(QStringLiteral("mMailingList"), 201, QStringLiteral("&Mailing List"),
                               OpenPage(MailingListAddress)),
                   });
}

MenuItem Help()
{
    using M = MenuItem;
    return M::Menu(
        QStringLiteral("zHelp"), 115, QStringLiteral("&Help"),
        {
            M::Item(QStringLiteral("mContents"), 116, QStringLiteral("&Contents"), helpContents)
                .withShortcut(QKeySequence(Qt::Key_F1)),
            M::Line(),
            M::Item(QStringLiteral("mLicenceAgreement"), 117, QStringLiteral("&Licence Agreement"),
                    modal(&Indemnity::ShowModal)),
            M::Item(QStringLiteral("mSplashScreen"), 119, QStringLiteral("&Splash Screen"),
                    modal(&Splash::ShowModal)),
            M::Line(),
            M::Item(QStringLiteral("mBugReport"), 121, QStringLiteral("&Report a Bug"), bugReport),
            M::Line(),
            M::Item(QStringLiteral("mAbout"), 118, QStringLiteral("&About..."), modal(&frmAbout::ShowModal)),
        });
}

void CaptionDateFormatWindow()
{
    if (MenuTargets::IsRegistered(MenuTargets::DateFormat) &&
        MenuTargets::Get(MenuTargets::DateFormat).instance)
        MenuTargets::Get(MenuTargets::DateFormat).instance()->setWindowTitle(GetMsg(1, DateFormatCaptionId));
}

QString ForumAddress()
{
    return onWebSite(QStringLiteral("/forum/"));
}

QString MailingListAddress()
{
    return onWebSite(QStringLiteral("/maillists.html"));
}

QString BugReportAddress()
{
    return onWebSite(QStringLiteral("/cgi-bin/faq/faq.cgi?action=add"));
}

QString ChmBiblesAddress()
{
    return onWebSite(QStringLiteral("chm_bibles.html"));
}

bool ChmBiblesInstalled()
{
    return !FileNames::listFiles(gModuleFolder + QStringLiteral("CHM/"), QStringLiteral("c?_*.chm"))
                .isEmpty();
}

void OpenChmBibles(bool installed, QWidget *window)
{
    if (installed) {
        showModal(MenuTargets::CHM);
        return;
    }
    const int answer = desktop().messageBox(GetMsg(0, ChmNotInstalledMsg),
                                            MsgBoxStyle::YesNo | MsgBoxStyle::Question, QString());
    if (answer == MsgBoxResult::Yes)
        OpenUrl(ChmBiblesAddress(), window);
}

} // namespace CommonMenus
