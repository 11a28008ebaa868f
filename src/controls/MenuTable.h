#pragma once

#include <QHash>
#include <QKeySequence>
#include <QList>
#include <QString>
#include <functional>

class DeferredErrors;
class ImageList;
class MenuTable;
class QAction;
class QMainWindow;
class QMenu;
class QWidget;

// What a menu command is given when it runs: its item, the window's table, and
// the errors of the run, for commands whose every step must run.
struct MenuCall
{
    MenuTable &table;
    QAction *item;
    DeferredErrors &errors;

    // The item's check mark; a click has already toggled it.
    bool checked() const;
    QWidget *window() const;
};

using MenuHandler = std::function<void(MenuCall &)>;

// One row of a menu description: a command, a submenu with its rows, or a
// separator. Descriptions are values, so a window can take a shared menu and
// change a row (its name, its handler) before it builds its menus.
struct MenuItem
{
    enum Kind { Command, Submenu, Separator };

    Kind kind = Command;
    QString name;          // the object name; the trace name is "<Window>.<name>_Click()"
    int captionId = 0;     // form text (catalog 1); 0 keeps the fixed caption in every language
    QString fixedCaption;  // the caption before the catalog's; the menu pictures are keyed by it
    QString captionSuffix; // appended to the catalog text: a shortcut shown but not bound
    QKeySequence shortcut; // bound to the item
    int picture = 0;       // number in the window's ImageList; 0 for none
    bool checkable = false;
    bool checked = false;           // the mark the item starts with
    MenuHandler handler;            // a command's work; errors are trapped where it is connected
    std::function<bool()> enabling; // the enabling rule; empty for always enabled
    QList<MenuItem> children;

    static MenuItem Item(const QString &name, int captionId, const QString &fixedCaption,
                         MenuHandler handler);
    static MenuItem Menu(const QString &name, int captionId, const QString &fixedCaption,
                         QList<MenuItem> children);
    static MenuItem Line();

    MenuItem withShortcut(const QKeySequence &keys) &&;
    MenuItem withSuffix(const QString &suffix) &&;
    MenuItem withPicture(int number) &&;
    MenuItem checkItem(bool startsChecked) &&;
    MenuItem enabledWhen(std::function<bool()> rule) &&;
};

// The row of the given name anywhere in the description; nullptr when there is none.
MenuItem *FindMenuItem(QList<MenuItem> &description, const QString &name);
// Takes the row of the given name out of the description; false when there is none.
bool RemoveMenuItem(QList<MenuItem> &description, const QString &name);

// The menus of a window built from a description: the menu bar, captions from
// the catalog, pictures, enabling and the commands, each connected through one
// trap that reports a failure under the command's trace name.
class MenuTable
{
public:
    // traceObject names the window in trace names ("MainMenu").
    MenuTable(QMainWindow *window, const QString &traceObject, QList<MenuItem> description);
    MenuTable(const MenuTable &) = delete;
    MenuTable &operator=(const MenuTable &) = delete;
    ~MenuTable();

    QMainWindow *window() const { return m_window; }
    // The item or the submenu's action of the given name; nullptr when there is none.
    QAction *action(const QString &name) const;
    // The submenu of the given name; nullptr when there is none.
    QMenu *menu(const QString &name) const;
    QString traceName(const QString &name) const;

    // Runs a command's handler as a click does (its check mark stays as it is),
    // reporting a failure once at the end under the command's trace name.
    void run(const QString &name);
    // Runs other work under the command's trace name, reported the same way.
    void runAs(const QString &name, const std::function<void()> &body);

    // Captions every row that has a caption id from the catalog.
    void International();
    // Puts the pictures on their items, keyed by the captions the items have now.
    void AddPicturesToMenu(const ImageList &images);
    // Enables every row that has an enabling rule by its rule.
    void ApplyEnabling();

private:
    struct Entry
    {
        QAction *action = nullptr;
        QMenu *menu = nullptr;
        MenuItem item; // without its children
    };

    void build(QMenu *parent, const QList<MenuItem> &rows);
    QAction *addCommand(QMenu *parent, const MenuItem &row);
    QMenu *addSubmenu(QMenu *parent, const MenuItem &row);
    void remember(const MenuItem &row, QAction *action, QMenu *menu);

    QMainWindow *m_window;
    QString m_traceObject;
    QList<MenuItem> m_description;
    QList<QString> m_order; // names in menu order
    QHash<QString, Entry> m_entries;
};
