#include "search/WorkspaceToolbar.h"
#include "search/FormatToolbar.h"

#include "controls/ImageList.h"
#include "controls/MenuTable.h"
#include "core/MsgSupport.h"

#include <QAction>
#include <QApplication>
#include <QHBoxLayout>
#include <QMenu>
#include <QToolButton>

// In the order of the row; the formatting bar follows the Find Next button.
const WorkspaceToolbar::Button WorkspaceToolbar::Buttons[] = {
    {&WorkspaceToolbar::cmdOpen, "cmdOpen", "mFileOpen", 2, 27},
    {&WorkspaceToolbar::cmdSave, "cmdSave", "mFileSaveAs", 3, 28},
    {&WorkspaceToolbar::cmdPrint, "cmdPrint", "mFilePrint", 5, 29},
    {&WorkspaceToolbar::cmdCut, "cmdCut", "mEditCut", 7, 30},
    {&WorkspaceToolbar::cmdCopy, "cmdCopy", "mEditCopy", 8, 31},
    {&WorkspaceToolbar::cmdPaste, "cmdPaste", "mEditPaste", 9, 32},
    {&WorkspaceToolbar::cmdUndo, "cmdUndo", "mEditUndo", 10, 33},
    {&WorkspaceToolbar::cmdDelete, "cmdDelete", "mEditDelete", 11, 34},
    {&WorkspaceToolbar::cmdFind, "cmdFind", "mEditFind", 12, 35},
    {&WorkspaceToolbar::cmdFindNext, "cmdFindNext", "mEditFindNext", 13, 36},
    {&WorkspaceToolbar::cmdBibMulti, "cmdBibMulti", "mViewMultiBible", 14, 48},
    {&WorkspaceToolbar::cmdDictionary, "cmdDictionary", "mViewDictionary", 16, 49},
    {&WorkspaceToolbar::cmdCommentary, "cmdCommentary", "mViewCommentary", 17, 50},
    {&WorkspaceToolbar::cmdBibNames, "cmdBibNames", "mViewNames", 15, 51},
    {&WorkspaceToolbar::cmdHlp, "cmdHlp", "mContents", 0, 53},
};

WorkspaceToolbar::WorkspaceToolbar(RichTextBox *pane, const ImageList &pictures, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Picture1"));
    for (const Button &entry : Buttons) {
        QToolButton *button =
            MakeButton(this, entry.name,
                       entry.picture > 0 ? pictures.ListImages(entry.picture)
                                         : ThemePicture("help-contents", QStyle::SP_DialogHelpButton));
        connect(button, &QToolButton::clicked, this,
                [this, item = QLatin1String(entry.item)] { emit commandClicked(item); });
        this->*entry.member = button;
    }
    m_formatBar = new FormatToolbar(pane, this);
    m_formatBar->setObjectName(QStringLiteral("FormatToolbar1"));
    const std::pair<void (FormatToolbar::*)(), const char *> keys[] = {
        {&FormatToolbar::findRequested, "mEditFind"},
        {&FormatToolbar::findNextRequested, "mEditFindNext"},
        {&FormatToolbar::selectAllRequested, "mEditSelectAll"},
        {&FormatToolbar::wrapTextRequested, "mEditWrapText"},
    };
    for (const auto &[signal, item] : keys)
        connect(m_formatBar, signal, this, [this, item = QLatin1String(item)] { emit commandKeyed(item); });
    LayOut();
}

QToolButton *WorkspaceToolbar::MakeButton(QWidget *parent, const char *name, const QIcon &picture)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QLatin1String(name));
    button->setIcon(picture);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QIcon WorkspaceToolbar::ThemePicture(const char *name, QStyle::StandardPixmap fallback)
{
    return QIcon::fromTheme(QLatin1String(name), QApplication::style()->standardIcon(fallback));
}

// The formatting bar sits between the document's and the study windows' buttons.
void WorkspaceToolbar::LayOut()
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 0);
    row->setSpacing(1);
    for (const Button &entry : Buttons) {
        row->addWidget(this->*entry.member);
        if (entry.member == &WorkspaceToolbar::cmdFindNext) {
            row->addSpacing(8);
            row->addWidget(m_formatBar);
            row->addSpacing(8);
        }
    }
    row->addStretch(1);
}

void WorkspaceToolbar::FollowMenus(const MenuTable &menus)
{
    for (const Button &entry : Buttons)
        Follow(this->*entry.member, menus.action(QLatin1String(entry.item)));
}

void WorkspaceToolbar::Follow(QToolButton *button, QAction *item)
{
    auto *menu = item ? qobject_cast<QMenu *>(item->parent()) : nullptr;
    if (!menu)
        return;
    const auto follow = [button, item, menu] {
        button->setEnabled(item->isEnabled() && menu->menuAction()->isEnabled());
    };
    connect(item, &QAction::changed, button, follow);
    connect(menu->menuAction(), &QAction::changed, button, follow);
    follow();
}

void WorkspaceToolbar::International()
{
    for (const Button &entry : Buttons)
        (this->*entry.member)->setToolTip(GetMsg(1, entry.tip));
    m_formatBar->International();
}
