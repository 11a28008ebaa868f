#pragma once

#include <QWidget>

class QPushButton;
class QTreeWidget;
struct BookmarkRecord;

// The bookmark list: one row per bookmark (title, category, date added, Bible
// reference, document file name) over the shared bookmark records. Its commands
// add, edit, delete, open and update bookmarks; each writes the record file at
// once, so that nothing is lost when the program ends without closing the list.
// Closing only hides the window: it is one window for the run.
class frmBookmarkList : public QWidget
{
    Q_OBJECT

public:
    frmBookmarkList();

    // The default instance, loaded hidden on first use.
    static frmBookmarkList &Instance();
    // Makes the list reachable from View > Bookmarks of the main window and the workspace.
    static void Register();

    // True when the dialog's title is another bookmark's (the same whole title,
    // case ignored): that row is selected and the reader told.
    bool CheckForDup(bool adding);
    void International();

    void cmdAdd_Click();
    void cmdEdit_Click();
    void cmdDelete_Click();
    void cmdGoto_Click();
    void cmdUpdate_Click();
    void cmdClose_Click();
    void LV_ColumnClick(int column);

    // The selected row, -1 when none.
    int SelectedRow() const;
    void SelectRow(int row);

    bool LastSortDescending = false;

    QTreeWidget *LV = nullptr;
    QWidget *Picture1 = nullptr;
    QPushButton *cmdUpdate = nullptr;
    QPushButton *cmdDelete = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdGoto = nullptr;
    QPushButton *cmdAdd = nullptr;
    QPushButton *cmdClose = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void Form_Load();
    void RestorePlacement();
    void Form_Resize();
    // Writes the record file and stores the placement; false (reported) when
    // the file could not be written.
    bool DoClose();
    // Writes the record file; a failure is reported under the command's name.
    bool SaveRecords(const QString &routine);
    // Shows the rows of the records again, with `selected` selected.
    void FillList(int selected);
    void AppendRow(const BookmarkRecord &record);
    void FocusList();
    bool MayReplaceWorkspaceDocument();
    QString RenamedDocument(int row, const QString &wanted);
};
