#include "controls/MenuTable.h"

#include "controls/ImageList.h"
#include "controls/WinApi_.h"
#include "core/ArrayDictionary_.h"
#include "core/Bug_.h"
#include "core/MsgSupport.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

namespace {
// The caption an item shows now, cut at its first Tab, as the pictures are keyed.
QString captionOf(const QAction *item)
{
    QString caption = item->text();
    const qsizetype tab = caption.indexOf(QLatin1Char('\t'));
    if (tab > 0)
        caption.truncate(tab);
    return caption;
}
} // namespace

bool MenuCall::checked() const
{
    return item && item->isChecked();
}

QWidget *MenuCall::window() const
{
    return table.window();
}

MenuItem MenuItem::Item(const QString &name, int captionId, const QString &fixedCaption, MenuHandler handler)
{
    MenuItem row;
    row.name = name;
    row.captionId = captionId;
    row.fixedCaption = fixedCaption;
    row.handler = std::move(handler);
    return row;
}

MenuItem MenuItem::Menu(const QString &name, int captionId, const QString &fixedCaption,
                        QList<MenuItem> children)
{
    MenuItem row;
    row.kind = Submenu;
    row.name = name;
    row.captionId = captionId;
    row.fixedCaption = fixedCaption;
    row.children = std::move(children);
    return row;
}

MenuItem MenuItem::Line()
{
    MenuItem row;
    row.kind = Separator;
    return row;
}

MenuItem MenuItem::withShortcut(const QKeySequence &keys) &&
{
    shortcut = keys;
    return std::move(*this);
}

MenuItem MenuItem::withSuffix(const QString &suffix) &&
{
    captionSuffix = suffix;
    return std::move(*this);
}

MenuItem MenuItem::withPicture(int number) &&
{
    picture = number;
    return std::move(*this);
}

MenuItem MenuItem::checkItem(bool startsChecked) &&
{
    checkable = true;
    checked = startsChecked;
    return std::move(*this);
}

MenuItem MenuItem::enabledWhen(std::function<bool()> rule) &&
{
    enabling = std::move(rule);
    return std::move(*this);
}

MenuItem *FindMenuItem(QList<MenuItem> &description, const QString &name)
{
    for (MenuItem &row : description) {
        if (row.kind != MenuItem::Separator && row.name == name)
            return &row;
        if (MenuItem *inner = FindMenuItem(row.children, name))
            return inner;
    }
    return nullptr;
}

bool RemoveMenuItem(QList<MenuItem> &description, const QString &name)
{
    for (qsizetype i = 0; i < description.size(); ++i) {
        if (description[i].kind != MenuItem::Separator && description[i].name == name) {
            description.removeAt(i);
            return true;
        }
        if (RemoveMenuItem(description[i].children, name))
            return true;
    }
    return false;
}

MenuTable::MenuTable(QMainWindow *window, const QString &traceObject, QList<MenuItem> description)
    : m_window(window)
    , m_traceObject(traceObject)
    , m_description(std::move(description))
{
    build(nullptr, m_description);
}

MenuTable::~MenuTable() = default;

void MenuTable::build(QMenu *parent, const QList<MenuItem> &rows)
{
    for (const MenuItem &row : rows) {
        switch (row.kind) {
        case MenuItem::Separator:
            if (parent)
                parent->addSeparator();
            break;
        case MenuItem::Submenu:
            build(addSubmenu(parent, row), row.children);
            break;
        case MenuItem::Command:
            addCommand(parent, row);
            break;
        }
    }
}

QMenu *MenuTable::addSubmenu(QMenu *parent, const MenuItem &row)
{
    auto *menu = new QMenu(row.fixedCaption, m_window);
    menu->setObjectName(row.name);
    menu->menuAction()->setObjectName(row.name);
    if (parent)
        parent->addMenu(menu);
    else
        m_window->menuBar()->addMenu(menu);
    remember(row, menu->menuAction(), menu);
    return menu;
}

QAction *MenuTable::addCommand(QMenu *parent, const MenuItem &row)
{
    Assert(parent != nullptr, QStringLiteral("A menu command outside a menu: ") + row.name);
    QAction *item =
        parent ? parent->addAction(row.fixedCaption) : m_window->menuBar()->addAction(row.fixedCaption);
    item->setObjectName(row.name);
    if (!row.shortcut.isEmpty())
        item->setShortcut(row.shortcut);
    if (row.checkable) {
        item->setCheckable(true);
        item->setChecked(row.checked);
    }
    if (row.handler) {
        const QString name = row.name;
        QObject::connect(item, &QAction::triggered, m_window, [this, name] { run(name); });
    }
    remember(row, item, nullptr);
    return item;
}

void MenuTable::remember(const MenuItem &row, QAction *action, QMenu *menu)
{
    MenuItem flat = row;
    flat.children.clear();
    m_entries.insert(row.name, Entry{action, menu, std::move(flat)});
    m_order.append(row.name);
}

QAction *MenuTable::action(const QString &name) const
{
    const auto found = m_entries.constFind(name);
    return found == m_entries.cend() ? nullptr : found->action;
}

QMenu *MenuTable::menu(const QString &name) const
{
    const auto found = m_entries.constFind(name);
    return found == m_entries.cend() ? nullptr : found->menu;
}

QString MenuTable::traceName(const QString &name) const
{
    return m_traceObject + QLatin1Char('.') + name + QStringLiteral("_Click()");
}

void MenuTable::run(const QString &name)
{
    const auto found = m_entries.constFind(name);
    if (found == m_entries.cend() || !found->item.handler)
        return;
    // Copies: the handler may close the window that owns this table.
    const MenuHandler handler = found->item.handler;
    QAction *item = found->action;
    DeferredErrors errors(traceName(name));
    errors.step([&] {
        MenuCall call{*this, item, errors};
        handler(call);
    });
}

void MenuTable::runAs(const QString &name, const std::function<void()> &body)
{
    DeferredErrors errors(traceName(name));
    errors.step(body);
}

void MenuTable::International()
{
    for (const QString &name : std::as_const(m_order)) {
        const Entry &entry = m_entries[name];
        if (entry.item.captionId > 0)
            entry.action->setText(GetMsg(1, entry.item.captionId) + entry.item.captionSuffix);
    }
}

void MenuTable::AddPicturesToMenu(const ImageList &images)
{
    ArrayDictionary_ menus;
    for (const MenuItem &top : std::as_const(m_description)) {
        if (top.kind != MenuItem::Submenu)
            continue;
        auto inner = std::make_shared<ArrayDictionary_>();
        for (const MenuItem &row : top.children)
            if (row.kind == MenuItem::Command && row.picture > 0)
                inner->Add(captionOf(action(row.name)), QVariant::fromValue(images.ListImages(row.picture)));
        if (inner->Count() > 0)
            menus.Add(captionOf(action(top.name)), QVariant::fromValue(inner));
    }
    WinApi_::ApplyMenuBitmaps(m_window, menus);
}

void MenuTable::ApplyEnabling()
{
    for (const QString &name : std::as_const(m_order)) {
        const Entry &entry = m_entries[name];
        if (entry.item.enabling)
            entry.action->setEnabled(entry.item.enabling());
    }
}
