#pragma once

#include <QStyle>
#include <QWidget>

class FormatToolbar;
class ImageList;
class MenuTable;
class QAction;
class QToolButton;
class RichTextBox;

// The workspace's row of buttons above the search row: the document's commands,
// the formatting bar and the study windows. Each button stands for a menu item:
// a click asks for the item to run, and the button is usable while the item and
// its menu are. The keys of the window's own commands that the formatting bar
// reads in the pane ask for their items too.
class WorkspaceToolbar : public QWidget
{
    Q_OBJECT

public:
    WorkspaceToolbar(RichTextBox *pane, const ImageList &pictures, QWidget *parent = nullptr);

    FormatToolbar *FormatBar() const { return m_formatBar; }
    // The buttons follow the enabling of their items from now on.
    void FollowMenus(const MenuTable &menus);
    // A button is enabled while the item and its menu are.
    static void Follow(QToolButton *button, QAction *item);
    // The buttons' tips from the catalog.
    void International();
    // A flat button that takes no focus.
    static QToolButton *MakeButton(QWidget *parent, const char *name, const QIcon &picture);
    // A picture of the icon theme, else the style's.
    static QIcon ThemePicture(const char *name, QStyle::StandardPixmap fallback);

    // The buttons.
    QToolButton *cmdOpen = nullptr;
    QToolButton *cmdSave = nullptr;
    QToolButton *cmdPrint = nullptr;
    QToolButton *cmdCut = nullptr;
    QToolButton *cmdCopy = nullptr;
    QToolButton *cmdPaste = nullptr;
    QToolButton *cmdUndo = nullptr;
    QToolButton *cmdDelete = nullptr;
    QToolButton *cmdFind = nullptr;
    QToolButton *cmdFindNext = nullptr;
    QToolButton *cmdBibMulti = nullptr;
    QToolButton *cmdDictionary = nullptr;
    QToolButton *cmdCommentary = nullptr;
    QToolButton *cmdBibNames = nullptr;
    QToolButton *cmdHlp = nullptr;

signals:
    // A button was clicked: the name of the menu item it stands for.
    void commandClicked(const QString &item);
    // A key of a menu item was pressed in the pane (F3, Ctrl+A, Ctrl+F, Ctrl+W).
    void commandKeyed(const QString &item);

private:
    struct Button
    {
        QToolButton *WorkspaceToolbar::*member;
        const char *name;
        const char *item;
        int picture; // in the ImageList; 0 for the help picture
        int tip;     // catalog text
    };
    static const Button Buttons[];

    void LayOut();

    FormatToolbar *m_formatBar = nullptr;
};
