#pragma once

#include "controls/MenuTable.h"

class EditCommands;
class NotesDocument;
class WorkspaceFiles;

// The menus of the search and notes workspace: its own File and Edit menus
// beside the shared View, Tools, Web and Help menus (CommonMenus), under the
// workspace's own names. The window builds them with MenuTable:
//
//     m_menus = std::make_unique<MenuTable>(this, "AdvancedSearch",
//                                           WorkspaceMenus::Description({files, document, edit}));
namespace WorkspaceMenus {

// What the workspace's own items act on; they must outlive the menus.
struct Parts
{
    WorkspaceFiles &files;
    NotesDocument &document;
    EditCommands &edit;
};

// The fixed captions are the keys of the menu pictures (AddPicturesToMenu runs
// before International replaces them).
QList<MenuItem> Description(const Parts &parts);

} // namespace WorkspaceMenus
