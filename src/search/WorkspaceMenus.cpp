#include "search/WorkspaceMenus.h"
#include "search/DocumentPrinting.h"
#include "search/EditCommands.h"
#include "search/NotesDocument.h"
#include "search/WorkspaceFiles.h"

#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "mainwindow/CommonMenus.h"
#include "platform/Desktop.h"
#include "platform/OleColor.h"

#include <QTextCharFormat>
#include <QWidget>

namespace {
constexpr int MsgIntegrateNames = 42;

using M = MenuItem;

MenuItem fileMenu(const WorkspaceMenus::Parts &parts)
{
    using T = MenuTargets;
    WorkspaceFiles &files = parts.files;
    NotesDocument &document = parts.document;
    return M::Menu(QStringLiteral("zFile"), 70, QStringLiteral("&File"),
                   {
                       M::Item(QStringLiteral("mFileNew"), 58, QStringLiteral("&New"),
                               [&files](MenuCall &) { files.New(); })
                           .withPicture(1),
                       M::Item(QStringLiteral("mFileOpen"), 59, QStringLiteral("&Open..."),
                               [&files](MenuCall &) { files.Open(); })
                           .withPicture(2),
                       M::Item(QStringLiteral("mFileSave"), 60, QStringLiteral("&Save"),
                               [&files](MenuCall &) { files.Save(); })
                           .withPicture(3),
                       M::Item(QStringLiteral("mFileSaveAs"), 61, QStringLiteral("Save &As..."),
                               [&files](MenuCall &) { files.SaveAs(); }),
                       M::Line(),
                       M::Item(QStringLiteral("mFilePageSetup"), 90, QStringLiteral("Pa&ge Setup..."),
                               CommonMenus::ShowModal(T::PageSetup))
                           .enabledWhen(CommonMenus::WhenRegistered(T::PageSetup)),
                       M::Item(QStringLiteral("mFilePrintPreview"), 62, QStringLiteral("Print Pre&view..."),
                               CommonMenus::ShowModal(T::PrintPreview))
                           .withPicture(4)
                           .enabledWhen(CommonMenus::WhenRegistered(T::PrintPreview)),
                       M::Item(QStringLiteral("mFilePrintSetup"), 63, QStringLiteral("P&rint Setup..."),
                               [](MenuCall &) { DocumentPrinting::PrintSetup(); }),
                       M::Item(QStringLiteral("mFilePrint"), 64, QStringLiteral("&Print..."),
                               [&document](MenuCall &) { DocumentPrinting::Print(document.Pane()); })
                           .withPicture(5),
                       M::Line(),
                       M::Item(QStringLiteral("mFileClose"), 65, QStringLiteral("&Close"),
                               [](MenuCall &call) { call.window()->close(); }),
                   });
}

// The pane does its own Cut, Copy, Paste and Undo keys; the menu only shows them.
MenuItem editMenu(const WorkspaceMenus::Parts &parts)
{
    EditCommands &edit = parts.edit;
    NotesDocument &document = parts.document;
    const auto run = [&edit](void (EditCommands::*command)()) {
        return [&edit, command](MenuCall &) { (edit.*command)(); };
    };
    return M::Menu(
        QStringLiteral("zEdit"), 66, QStringLiteral("&Edit"),
        {
            M::Item(QStringLiteral("mEditCut"), 67, QStringLiteral("Cu&t"), run(&EditCommands::Cut))
                .withSuffix(QStringLiteral("\tCtrl+X"))
                .withPicture(7),
            M::Item(QStringLiteral("mEditCopy"), 68, QStringLiteral("&Copy"), run(&EditCommands::Copy))
                .withSuffix(QStringLiteral("\tCtrl+C"))
                .withPicture(8),
            M::Item(QStringLiteral("mEditPaste"), 69, QStringLiteral("&Paste"), run(&EditCommands::Paste))
                .withSuffix(QStringLiteral("\tCtrl+V"))
                .withPicture(9),
            M::Item(QStringLiteral("mEditUndo"), 71, QStringLiteral("&Undo"), run(&EditCommands::Undo))
                .withSuffix(QStringLiteral("\tCtrl+Z"))
                .withPicture(10),
            M::Item(QStringLiteral("mEditDelete"), 72, QStringLiteral("&Delete"), run(&EditCommands::Delete))
                .withSuffix(QStringLiteral("\tDel"))
                .withPicture(11),
            M::Line(),
            M::Item(QStringLiteral("mEditFind"), 73, QStringLiteral("&Find..."), run(&EditCommands::Find))
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+F")))
                .withPicture(12),
            M::Item(QStringLiteral("mEditFindNext"), 74, QStringLiteral("Find &Next"),
                    [&edit](MenuCall &call) {
                        // Find Next before anything was searched for asks, as Find does.
                        if (edit.HasFindText())
                            edit.FindNext();
                        else
                            call.table.run(QStringLiteral("mEditFind"));
                    })
                .withShortcut(QKeySequence(Qt::Key_F3))
                .withPicture(13),
            M::Line(),
            M::Item(QStringLiteral("mEditSelectAll"), 75, QStringLiteral("Select &All"),
                    run(&EditCommands::SelectAll))
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+A"))),
            M::Line(),
            M::Item(QStringLiteral("mEditWrapText"), 76, QStringLiteral("&Wrap Text"),
                    [&document](MenuCall &call) { document.LayOut(call.checked()); })
                .withShortcut(QKeySequence(QStringLiteral("Ctrl+W")))
                .checkItem(true),
        });
}

void integrateNames(MenuCall &call)
{
    if (call.checked())
        desktop().messageBox(GetMsg(0, MsgIntegrateNames), MsgBoxStyle::OKOnly, QString());
}

// Integrity Check > All empties the document first, after the question about unsaved notes.
void emptyBeforeCheckingAll(QList<MenuItem> &menus, const WorkspaceMenus::Parts &parts)
{
    MenuItem *all = FindMenuItem(menus, QStringLiteral("mIntegrityAll"));
    all->handler = [&files = parts.files, &document = parts.document,
                    checkAll = all->handler](MenuCall &call) {
        if (!files.MayReplaceDocument())
            return;
        call.errors.step([&document] {
            QTextCharFormat format;
            format.setForeground(OleColor::toQColor(gBib1TC));
            if (gBib1Fontsize > 0)
                format.setFontPointSize(gBib1Fontsize);
            document.Empty(format);
        });
        checkAll(call);
    };
}

// The shared menus under the workspace's own names, with what differs here.
void adjustSharedMenus(QList<MenuItem> &menus, const WorkspaceMenus::Parts &parts)
{
    const std::pair<const char *, const char *> names[] = {
        {"mWindowBookmarks", "mViewBookmarks"},
        {"mWindowAdvancedSearch", "mViewAdvancedSearch"},
        {"mWindowMultiBible", "mViewMultiBible"},
        {"mWindowCommentary", "mViewCommentary"},
        {"mWindowDictionary", "mViewDictionary"},
        {"mWindowNames", "mViewNames"},
        {"mWindowMaps", "mViewMaps"},
        {"mWindowTranslationNotes", "mViewTranslationNotes"},
    };
    for (const auto &[shared, own] : names)
        FindMenuItem(menus, QLatin1String(shared))->name = QLatin1String(own);
    // The MP3 player and the CHM Bibles are the buttons beside the search modes.
    RemoveMenuItem(menus, QStringLiteral("mViewMp3Bibles"));
    RemoveMenuItem(menus, QStringLiteral("mViewChmBibles"));
    // The forum of the product's own web site.
    FindMenuItem(menus, QStringLiteral("mDiscussionForum"))->handler = CommonMenus::OpenPage([] {
        QString site = MiscHelpers::WebSiteAddress();
        while (site.endsWith(QLatin1Char('/')))
            site.chop(1);
        return site + QStringLiteral("/board.html");
    });
    emptyBeforeCheckingAll(menus, parts);
}
} // namespace

namespace WorkspaceMenus {

QList<MenuItem> Description(const Parts &parts)
{
    QList<MenuItem> menus{
        fileMenu(parts),      editMenu(parts),    CommonMenus::View(integrateNames),
        CommonMenus::Tools(), CommonMenus::Web(), CommonMenus::Help(),
    };
    adjustSharedMenus(menus, parts);
    return menus;
}

} // namespace WorkspaceMenus
