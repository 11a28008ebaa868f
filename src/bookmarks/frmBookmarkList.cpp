#include "bookmarks/frmBookmarkList.h"
#include "bookmarks/frmBookmarkAdd.h"

#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Registry_.h"
#include "mainwindow/MenuTargets.h"
#include "mainwindow/WorkspaceDocument.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/HelpService.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QPushButton>
#include <QTextDocument>
#include <QTreeWidget>

namespace {
constexpr int Margin = 3; // pixels around the buttons
constexpr int ButtonMinWidth = 72;
constexpr int ColumnCount = 5;
// Catalog texts.
constexpr int MsgDuplicate = 4;
constexpr int MsgNoBookmark = 5;
constexpr int MsgConfirmDelete = 6;
constexpr int MsgListNotSaved = 293;
constexpr int FrmAddCaption = 14;
constexpr int FrmEditCaption = 15;
constexpr int FrmFirstButton = 170; // Update, Delete, Edit, Go to, Add, Close
constexpr int FrmFirstColumn = 176; // Title, Category, Date Added, Bible Reference, FileName

QString listSource()
{
    return QStringLiteral("Verbanox.frmBookmarkList");
}

BookmarkRecords &records()
{
    return BookmarkRecords::Instance();
}

// Renames a bookmark's document; the workspace's File > Save follows it.
bool renameDocument(const QString &fromName, const QString &toName)
{
    const QString from = BookmarkRecords::DocumentPath(fromName);
    const QString to = BookmarkRecords::DocumentPath(toName);
    if (!QFile::rename(FileNames::resolve(from), to))
        return false;
    if (WorkspaceDocument::IsRegistered() && WorkspaceDocument::Get().fileRenamed)
        WorkspaceDocument::Get().fileRenamed(from, to);
    return true;
}

// A bookmark's document went with its bookmark: the workspace, if it shows it,
// keeps the text but no longer writes to that file.
void forgetDocument(const QString &fileName)
{
    if (WorkspaceDocument::IsRegistered() && WorkspaceDocument::Get().fileDeleted)
        WorkspaceDocument::Get().fileDeleted(BookmarkRecords::DocumentPath(fileName));
}

// The selected row; an error for Edit and Go to to report when none is.
int selectedRowOrRaise(const frmBookmarkList &list)
{
    const int row = list.SelectedRow();
    if (row < 0)
        raiseError(RtErr::ObjectNotSet, listSource(), QStringLiteral("No bookmark is selected in the list."));
    return row;
}

// The workspace's document pane; the workspace loads, hidden, when it is not loaded.
RichTextBox &workspacePane()
{
    RichTextBox *pane = WorkspaceDocument::Get().pane();
    if (!pane)
        raiseError(RtErr::ObjectNotSet, listSource(),
                   QStringLiteral("The search workspace has no document."));
    return *pane;
}

// What the list asks of the workspace; an error saying what it cannot do when
// the workspace did not register it.
template <typename F> const F &workspacePart(F WorkspaceDocument::Access::*part, const QString &cannot)
{
    const F &function = WorkspaceDocument::Get().*part;
    if (!function)
        raiseError(RtErr::ObjectNotSet, listSource(), cannot);
    return function;
}

const QString CannotSaveForBookmark =
    QStringLiteral("The search workspace cannot save its document for a bookmark.");

// The workspace writes its document to a bookmark's file, as a copy: its own
// file, if it has one, is still to be saved. False after the workspace said why
// the file could not be written.
bool saveWorkspaceCopy(const QString &fileName)
{
    return workspacePart(&WorkspaceDocument::Access::saveCopy,
                         CannotSaveForBookmark)(BookmarkRecords::DocumentPath(fileName));
}

// The workspace writes its document to a new bookmark's file, named after the
// title: the first name that no row and no file in the folder, as it is now,
// has; another writer that makes the same file meanwhile keeps it, and the
// next name is taken. The file's name; empty after the workspace said why it
// could not be written.
QString saveNewDocument(const QString &title)
{
    const QString wanted = BookmarkRecords::FileNameFromTitle(title);
    const QSet<QString> inUse = BookmarkRecords::Instance().NamesInUse();
    const QString path = workspacePart(&WorkspaceDocument::Access::saveNew, CannotSaveForBookmark)(
        [&wanted](int number) {
            return BookmarkRecords::DocumentPath(BookmarkRecords::NumberedName(wanted, number));
        },
        [&inUse](const QString &name) { return inUse.contains(QFileInfo(name).fileName().toCaseFolded()); });
    return path.isEmpty() ? QString() : QFileInfo(path).fileName();
}
} // namespace

frmBookmarkList::frmBookmarkList()
{
    setObjectName(QStringLiteral("frmBookmarkList"));
    // A sizable frame without minimise and maximise buttons; closing it only hides it.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setAttribute(Qt::WA_QuitOnClose, false);
    buildControls();
    Form_Load();
}

void frmBookmarkList::buildControls()
{
    LV = new QTreeWidget(this);
    LV->setColumnCount(ColumnCount);
    LV->setRootIsDecorated(false);
    LV->setUniformRowHeights(true);
    LV->setSelectionMode(QAbstractItemView::SingleSelection);
    LV->setSelectionBehavior(QAbstractItemView::SelectRows);
    LV->setAllColumnsShowFocus(true);
    LV->header()->setSectionsClickable(true);
    LV->header()->setSortIndicatorShown(false);

    Picture1 = new QWidget(this);
    cmdUpdate = new QPushButton(Picture1);
    cmdDelete = new QPushButton(Picture1);
    cmdEdit = new QPushButton(Picture1);
    cmdGoto = new QPushButton(Picture1);
    cmdAdd = new QPushButton(Picture1);
    cmdClose = new QPushButton(Picture1);

    connect(cmdUpdate, &QPushButton::clicked, this, [this] { cmdUpdate_Click(); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdEdit, &QPushButton::clicked, this, [this] { cmdEdit_Click(); });
    connect(cmdGoto, &QPushButton::clicked, this, [this] { cmdGoto_Click(); });
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
    connect(LV->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { LV_ColumnClick(column + 1); });
    connect(LV, &QTreeWidget::itemDoubleClicked, this, [this] { cmdGoto_Click(); });
    HelpService::setHelpContext(this, frmBookmarkAdd::HelpContext);
}

frmBookmarkList &frmBookmarkList::Instance()
{
    return DefaultInstance<frmBookmarkList>::get();
}

void frmBookmarkList::Register()
{
    MenuTargets::Register(MenuTargets::BookmarkList,
                          {[]() -> QWidget * { return &Instance(); },
                           []() -> QWidget * { return DefaultInstance<frmBookmarkList>::peek(); },
                           {}});
}

void frmBookmarkList::Form_Load()
{
    IgnoreErrors([] { FileFunctions_::MakeFolder(BookmarkRecords::DocumentFolder()); });
    setWindowTitle(QStringLiteral("Bookmarks"));
    International();
    LastSortDescending = false;
    resize(Twips::toPixelsX(7000), Twips::toPixelsY(5000));
    FillList(-1);
}

void frmBookmarkList::International()
{
    const QList<QPushButton *> buttons = {cmdUpdate, cmdDelete, cmdEdit, cmdGoto, cmdAdd, cmdClose};
    for (int i = 0; i < buttons.size(); ++i)
        buttons[i]->setText(GetMsg(1, FrmFirstButton + i));
    QStringList headers;
    for (int i = 0; i < ColumnCount; ++i)
        headers.append(GetMsg(1, FrmFirstColumn + i));
    LV->setHeaderLabels(headers);
    // The window is never narrower than its buttons.
    int stripWidth = Margin;
    for (QPushButton *button : buttons)
        stripWidth += std::max(button->sizeHint().width(), ButtonMinWidth) + Margin;
    setMinimumSize(stripWidth, 5 * buttons.first()->sizeHint().height());
    Form_Resize();
}

// --- Rows ----------------------------------------------------------------------

namespace {
QTreeWidgetItem *rowItem(const BookmarkRecord &record)
{
    QStringList texts;
    for (int i = 0; i < ColumnCount; ++i)
        texts.append(record.field(i));
    return new QTreeWidgetItem(texts);
}
} // namespace

void frmBookmarkList::FillList(int selected)
{
    LV->clear();
    QList<QTreeWidgetItem *> items;
    for (const BookmarkRecord &record : records().Rows())
        items.append(rowItem(record));
    LV->addTopLevelItems(items);
    for (int column = 0; column < ColumnCount; ++column)
        LV->resizeColumnToContents(column);
    SelectRow(selected);
}

// One row more at the end, the columns widened to show it: a long list is not
// built again for each bookmark added.
void frmBookmarkList::AppendRow(const BookmarkRecord &record)
{
    QTreeWidgetItem *item = rowItem(record);
    LV->addTopLevelItem(item);
    for (int column = 0; column < ColumnCount; ++column) {
        const int wanted =
            LV->sizeHintForIndex(LV->model()->index(LV->topLevelItemCount() - 1, column)).width();
        if (wanted > LV->columnWidth(column))
            LV->setColumnWidth(column, wanted);
    }
}

int frmBookmarkList::SelectedRow() const
{
    const QList<QTreeWidgetItem *> selected = LV->selectedItems();
    return selected.isEmpty() ? -1 : LV->indexOfTopLevelItem(selected.first());
}

void frmBookmarkList::SelectRow(int row)
{
    QTreeWidgetItem *item = LV->topLevelItem(row);
    if (!item) {
        LV->clearSelection();
        return;
    }
    LV->setCurrentItem(item);
    item->setSelected(true);
    LV->scrollToItem(item);
}

void frmBookmarkList::FocusList()
{
    if (isVisible())
        LV->setFocus();
}

bool frmBookmarkList::SaveRecords(const QString &routine)
{
    bool saved = false;
    TrapErrors(routine, [this, &saved] {
        try {
            const int row = SelectedRow();
            const BookmarkRecord selected = records().Rows().value(row);
            QList<BookmarkRecord> removedElsewhere;
            // Rows another writer of the file added or removed meanwhile came in.
            if (records().Save(&removedElsewhere))
                FillList(row >= 0 ? int(records().Rows().indexOf(selected)) : -1);
            saved = true;
            // The other writer deleted these bookmarks, and their documents with
            // them: the workspace no longer saves to one, as after Delete here.
            for (const BookmarkRecord &record : removedElsewhere)
                if (records().FindDocument(record.fileName) < 0)
                    forgetDocument(record.fileName);
        } catch (const RuntimeError &e) {
            // A full disk or a folder that cannot be written is no fault of the
            // program: the reader is told which file and the system's reason.
            Bug_::ReportFileFault(MsgListNotSaved, BookmarkRecords::RecordFile(), e.description());
        }
    });
    return saved;
}

// --- Commands ------------------------------------------------------------------

bool frmBookmarkList::CheckForDup(bool adding)
{
    bool duplicate = false;
    TrapErrors(QStringLiteral("frmBookmarkList.CheckForDup()"), [&] {
        const int found = records().FindTitle(frmBookmarkAdd::Instance().sTitle());
        if (found < 0 || (!adding && found == SelectedRow()))
            return;
        duplicate = true;
        SelectRow(found);
        desktop().messageBox(GetMsg(0, MsgDuplicate, QString()), MsgBoxStyle::Information,
                             QStringLiteral("Duplicate Found"));
        FocusList();
    });
    return duplicate;
}

void frmBookmarkList::cmdAdd_Click()
{
    const QString routine = QStringLiteral("frmBookmarkList.cmdAdd_Click()");
    bool duplicate = false;
    int added = -1;
    TrapErrors(routine, [&] {
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.setWindowTitle(GetMsg(1, FrmAddCaption));
        dialog.setAdding(true);
        frmBookmarkAdd::ShowModal();
        if (dialog.Cancelled())
            return;
        // An empty title adds nothing and says nothing, not even of a duplicate.
        if (dialog.sTitle().isEmpty())
            return;
        duplicate = CheckForDup(true);
        if (duplicate)
            return;
        // The record is added only once its document is saved.
        const QString fileName = saveNewDocument(dialog.sTitle());
        if (fileName.isEmpty())
            return;
        const BookmarkRecord record{dialog.sTitle(), dialog.sCategory(), dialog.sDate(), dialog.sBookChVs(),
                                    fileName};
        records().Append(record);
        AppendRow(record);
        SaveRecords(routine);
        // The save may have taken in another writer's rows after it.
        added = int(records().Rows().indexOf(record));
        gLastAddedBookmarkRow = added;
    });
    if (duplicate)
        return;
    IgnoreErrors([this, added] {
        SelectRow(added >= 0 ? added : records().Count() - 1);
        FocusList();
    });
}

void frmBookmarkList::cmdEdit_Click()
{
    const QString routine = QStringLiteral("frmBookmarkList.cmdEdit_Click()");
    TrapErrors(routine, [&] {
        const int row = selectedRowOrRaise(*this);
        frmBookmarkAdd &dialog = frmBookmarkAdd::Instance();
        dialog.setWindowTitle(GetMsg(1, FrmEditCaption));
        dialog.setAdding(false);
        const BookmarkRecord old = records().Rows().at(row);
        dialog.setSTitle(old.title);
        dialog.setSCategory(old.category);
        dialog.setSDate(old.dateAdded);
        dialog.setSBookChVs(old.reference);
        frmBookmarkAdd::ShowModal();
        if (dialog.Cancelled() || CheckForDup(false))
            return;
        const QString fileName = RenamedDocument(row, dialog.MakeFN(row));
        records().Replace(
            row, {dialog.sTitle(), dialog.sCategory(), dialog.sDate(), dialog.sBookChVs(), fileName});
        if (!SaveRecords(routine)) {
            // The record file still names the old document: the row and the
            // document go back to it, so the two never part.
            if (fileName != old.fileName)
                renameDocument(fileName, old.fileName);
            records().Replace(row, old);
        }
        FillList(row);
        FocusList();
    });
}

// The row's document under its new name; the old name when the document is
// shared with another row or cannot be renamed, so the row never loses it.
QString frmBookmarkList::RenamedDocument(int row, const QString &wanted)
{
    const QString oldName = records().Rows().at(row).fileName;
    if (wanted == oldName || records().DocumentShared(row))
        return oldName;
    return renameDocument(oldName, wanted) ? wanted : oldName;
}

void frmBookmarkList::cmdDelete_Click()
{
    const int row = SelectedRow();
    if (row < 0)
        return;
    const BookmarkRecord record = records().Rows().at(row);
    const int answer =
        desktop().messageBox(GetMsg(0, MsgConfirmDelete, record.title),
                             MsgBoxStyle::YesNo | MsgBoxStyle::Question, QStringLiteral("Confirm Delete"));
    if (answer != MsgBoxResult::Yes)
        return;
    // A document that another row names stays for that row; a missing one is no
    // matter. Deleted or not, it is no bookmark's now: the workspace stops saving to it.
    if (!records().DocumentShared(row)) {
        IgnoreErrors(
            [&] { QFile::remove(FileNames::resolve(BookmarkRecords::DocumentPath(record.fileName))); });
        forgetDocument(record.fileName);
    }
    records().Remove(row);
    FillList(0);
    FocusList();
    SaveRecords(QStringLiteral("frmBookmarkList.cmdDelete_Click()"));
}

// Unsaved changes to the workspace's document are offered for saving first.
bool frmBookmarkList::MayReplaceWorkspaceDocument()
{
    QTextDocument *document = workspacePane().document();
    if (!document->isModified())
        return true;
    const int answer =
        workspacePart(&WorkspaceDocument::Access::askToSave,
                      QStringLiteral("The search workspace cannot save its changed document."))();
    return answer == 0 || (answer == 2 && !document->isModified());
}

void frmBookmarkList::cmdGoto_Click()
{
    TrapErrors(QStringLiteral("frmBookmarkList.cmdGoto_Click()"), [this] {
        const int row = selectedRowOrRaise(*this);
        const QString path = BookmarkRecords::DocumentPath(records().Rows().at(row).fileName);
        // A document deleted outside the program is named before anything is
        // asked or replaced.
        if (!FileNames::existsIgnoringCase(path))
            raiseFileNotFound(listSource(), path);
        if (!MayReplaceWorkspaceDocument())
            return;
        workspacePart(&WorkspaceDocument::Access::showFile,
                      QStringLiteral("The search workspace cannot show a bookmark's document."))(path);
        hide();
    });
}

void frmBookmarkList::cmdUpdate_Click()
{
    const int row = SelectedRow();
    bool saved = false;
    const bool reached = row >= 0 && IgnoreErrors([row, &saved] {
                             saved = saveWorkspaceCopy(records().Rows().at(row).fileName);
                         });
    if (!reached) {
        desktop().messageBox(GetMsg(0, MsgNoBookmark, QString()), MsgBoxStyle::Information,
                             QStringLiteral("No Bookmark."));
        return;
    }
    // The workspace has said why the document could not be written; the list stays.
    if (!saved)
        return;
    FocusList();
    SaveRecords(QStringLiteral("frmBookmarkList.cmdUpdate_Click()"));
    hide();
}

void frmBookmarkList::cmdClose_Click()
{
    DoClose();
}

void frmBookmarkList::LV_ColumnClick(int column)
{
    TrapErrors(QStringLiteral("frmBookmarkList.LV_ColumnClick()"), [&] {
        // One order for all columns: every click reverses it, the first sorts descending.
        LastSortDescending = !LastSortDescending;
        const int row = SelectedRow();
        const BookmarkRecord selected = row >= 0 ? records().Rows().at(row) : BookmarkRecord();
        records().Sort(column - 1, LastSortDescending);
        FillList(row >= 0 ? int(records().Rows().indexOf(selected)) : -1);
        SaveRecords(QStringLiteral("frmBookmarkList.LV_ColumnClick()"));
    });
}

// --- Window --------------------------------------------------------------------

bool frmBookmarkList::DoClose()
{
    if (!SaveRecords(QStringLiteral("frmBookmarkList.DoClose()")))
        return false;
    if (!isMaximized()) {
        IgnoreErrors([this] {
            SaveSingle(QStringLiteral("BookmarkTop"), float(Twips::fromPixelsY(y())));
            SaveSingle(QStringLiteral("BookmarkWidth"), float(Twips::fromPixelsX(width())));
            SaveSingle(QStringLiteral("BookmarkHeight"), float(Twips::fromPixelsY(height())));
            SaveSingle(QStringLiteral("BookmarkLeft"), float(Twips::fromPixelsX(x())));
        });
    }
    hide();
    return true;
}

void frmBookmarkList::RestorePlacement()
{
    if (isMaximized())
        return;
    const Registry_::FormPosition stored =
        Registry_::ReadFormPosition(QStringLiteral("Bookmark"), {0, 0, 7000, 5000});
    move(Twips::toPixelsX(stored.left), Twips::toPixelsY(stored.top));
    resize(std::max(1, Twips::toPixelsX(stored.width)), std::max(1, Twips::toPixelsY(stored.height)));
}

void frmBookmarkList::showEvent(QShowEvent *event)
{
    // The stored placement when the window is shown, not when it is merely
    // activated again, so that a window moved meanwhile stays where it is.
    if (!event->spontaneous()) {
        IgnoreErrors([this] { RestorePlacement(); });
        FillList(SelectedRow());
    }
    QWidget::showEvent(event);
}

void frmBookmarkList::closeEvent(QCloseEvent *event)
{
    // The window stays for the run; the frame's close box does what Close does.
    event->ignore();
    DoClose();
}

void frmBookmarkList::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    Form_Resize();
}

void frmBookmarkList::Form_Resize()
{
    if (isMinimized())
        return;
    const QList<QPushButton *> buttons = {cmdUpdate, cmdDelete, cmdEdit, cmdGoto, cmdAdd, cmdClose};
    int buttonHeight = 0;
    for (QPushButton *button : buttons)
        buttonHeight = std::max(buttonHeight, button->sizeHint().height());
    const int stripHeight = buttonHeight + 2 * Margin;
    const int listHeight = std::max(1, height() - stripHeight);
    LV->setGeometry(0, 0, width(), listHeight);
    Picture1->setGeometry(0, height() - stripHeight, width(), stripHeight);
    int right = width() - Margin;
    for (auto it = buttons.crbegin(); it != buttons.crend(); ++it) {
        const int w = std::max((*it)->sizeHint().width(), ButtonMinWidth);
        right -= w;
        (*it)->setGeometry(right, Margin, w, buttonHeight);
        right -= Margin;
    }
}
