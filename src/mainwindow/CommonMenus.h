#pragma once

#include "controls/MenuTable.h"
#include "mainwindow/MenuTargets.h"

#include <QString>
#include <functional>

// The menus the main window and the search workspace share: View, Tools (with
// Integrity Check), Web and Help, the same items opening the same windows
// through the opener registry. Each window puts them beside its own File and
// Edit menus and builds the lot with MenuTable:
//
//     QList<MenuItem> menus{FileMenu(), EditMenu(), CommonMenus::View(integrateNames),
//                           CommonMenus::Tools(), CommonMenus::Web(), CommonMenus::Help()};
//     FindMenuItem(menus, "mWindowMultiBible")->name = "mViewMultiBible"; // its own name for it
//     RemoveMenuItem(menus, "mViewMp3Bibles");                            // an item it has not
//     m_menus = std::make_unique<MenuTable>(this, "AdvancedSearch", menus);
//     m_menus->AddPicturesToMenu(ImgList1); // before the catalog's captions
//     m_menus->International();             // again on every change of language
//     m_menus->ApplyEnabling();
namespace CommonMenus {

// The caption of the Report-a-Bug item while the hidden debug mode is open;
// deliberately not translated.
inline const QString DebugCaption = QStringLiteral("&Debug Mode");

// Commands that open a window of another part of the program.
// Visible, in the normal window state and in front: a minimised or hidden window comes back.
MenuHandler RaiseWindow(MenuTargets::Target target);
// Visible only; the window's state is its own.
MenuHandler ShowWindow(MenuTargets::Target target);
MenuHandler ShowModal(MenuTargets::Target target);
// Opens a web page with the desktop.
MenuHandler OpenPage(std::function<QString()> address);

// Enabling rules. A window of a later part is usable once it has registered.
std::function<bool()> WhenRegistered(MenuTargets::Target target);
// Some file in the folder (a folder global, read when the rule runs) matches.
std::function<bool()> WhenAnyFile(const QString *folder, const QString &pattern);
std::function<bool()> WhenBoth(std::function<bool()> first, std::function<bool()> second);

// The shared menus. Integrate Names switches what each window shows, so the
// window gives its handler.
MenuItem View(MenuHandler integrateNames);
MenuItem Tools();
MenuItem Web();
MenuItem Help();

// The date-format window takes its caption from the catalog with the windows
// whose menus open it (it loads hidden for that).
void CaptionDateFormatWindow();

// The web pages the menus open.
QString ForumAddress();
QString MailingListAddress();
QString BugReportAddress();
QString ChmBiblesAddress();

// Some CHM Bible ("c?_*.chm") is in the module folder's CHM folder.
bool ChmBiblesInstalled();
// The CHM Bible selector, modally, when they are installed; otherwise the
// question whether to open their download page.
void OpenChmBibles(bool installed, QWidget *window);

} // namespace CommonMenus
