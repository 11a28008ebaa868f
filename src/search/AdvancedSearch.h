#pragma once

#include "controls/ImageList.h"
#include "search/SearchHistory.h"
#include "search/TermSearch.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class EditCommands;
class FormatToolbar;
class MenuTable;
class NotesDocument;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class RichTextBox;
class SearchRun;
class Translation;
class WorkspaceFiles;

// The search and notes workspace: searches one translation, or a range of its
// books, in four modes, and keeps the reader's notes. The window builds its
// controls and connects them; the work is done below it: the search run
// (SearchRun) fills the document, the document and the file it is saved to are
// NotesDocument's, the File commands WorkspaceFiles', the Edit commands
// EditCommands', the menus are described in WorkspaceMenus and the history of
// search texts is SearchHistory's.
class AdvancedSearch : public QMainWindow
{
    Q_OBJECT

public:
    AdvancedSearch();
    ~AdvancedSearch() override;

    // The default instance, loaded (not shown) on first use.
    static AdvancedSearch &Instance();
    // Makes the workspace reachable from the main window (View > Search and
    // Notes) and its document from the windows beside it.
    static void Register();

    // Where the verses of a translation come from: the verse reader, unless a
    // test puts another source in. Returns the previous one; empty restores it.
    using SourceFactory = std::function<TermSearch::VerseSource(const Translation &)>;
    static SourceFactory setSourceFactory(SourceFactory factory);
    // How often the search lets events run (tests poll every few lines).
    void setPollInterval(int milliseconds);

    // The design's routines.
    void International();
    void PopulateHistoryCombo();
    void SaveComboHistory();
    void cmdSearch_Click();
    void cmdStopSearch_Click();
    void cmdClear_Click();
    void Timer1_Timer();

    // Menu commands, each run as its item runs it (errors trapped under the
    // item's trace name).
    MenuTable &Menus() { return *m_menus; }
    void mFileSave_Click();
    void mFilePageSetup_Click();
    void mFilePrintPreview_Click();
    void mFilePrintSetup_Click();
    void mEditCut_Click();
    void mEditCopy_Click();
    void mEditPaste_Click();
    void mEditUndo_Click();
    void mEditDelete_Click();
    void mEditFind_Click();
    void mEditFindNext_Click();
    void mEditSelectAll_Click();
    void mEditWrapText_Click();
    void mIntegrityAll_Click();

    // State the search and later windows read.
    int BookRangeCode() const { return m_bookRangeCode; }
    std::shared_ptr<Translation> CurrentTranslation() const { return m_currentTranslation; }
    bool SearchRunning() const;
    qint64 MatchCount() const;
    // The document's unsaved-changes flag.
    bool TextChanged() const;

    // The controls, named as the design names them.
    RichTextBox *RT = nullptr;
    QComboBox *cboSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    QPushButton *cmdStopSearch = nullptr;
    QComboBox *cboTranslation = nullptr;
    QComboBox *cboBooks = nullptr;
    QComboBox *cboResults = nullptr;
    QCheckBox *chkActiveUpd = nullptr;
    QCheckBox *chkIgnoreCase = nullptr;
    QRadioButton *optNone = nullptr;
    QRadioButton *optAnyOrder = nullptr;
    QRadioButton *optAnyTerms = nullptr;
    QRadioButton *optAllVerses = nullptr;
    QLabel *lblStatusTextL = nullptr;
    QLineEdit *txtStatusTextR = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    // The toolbar's buttons that act on the document, and the formatting bar.
    FormatToolbar *FormatBar() const { return m_formatToolbar; }
    QToolButton *cmdOpen = nullptr;
    QToolButton *cmdSave = nullptr;
    QToolButton *cmdCut = nullptr;
    QToolButton *cmdPaste = nullptr;
    QToolButton *cmdUndo = nullptr;
    QToolButton *cmdBibMulti = nullptr;
    // The menus, bound by their design names.
    QMenu *zFile = nullptr;
    QMenu *zEdit = nullptr;
    QMenu *zView = nullptr;
    QMenu *zTools = nullptr;
    QAction *mEditWrapText = nullptr;
    QAction *mIntegrateNames = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class RunView;

    void CreateControls();
    void CreateParts();
    void CreateToolbar();
    void LayOutControls();
    void CreateMenus();
    void BindMenuMembers();
    void ConnectControls();
    void ConnectToolbar();
    void ConnectPane();
    void Form_Load();
    void Form_Unload(bool &cancel);

    void FillTranslations();
    void SelectSavedTranslation();
    void cboTranslation_Click();
    void RestoreBookRange();
    void GetComboBookmark();
    void cboBooks_Click();
    void m_globalnotifer_Notify(const QString &eventName);
    void cboSearch_KeyPress(int keyAscii);

    void UpdateEditCommands();
    void EnableStudyButtons();
    void AnimateSearchButton();
    void RT_Click();
    void RT_MouseUp();
    void RT_SelChange();
    bool PaneEvent(QObject *watched, QEvent *event);
    void SetMenuEnabledState(bool state);

    SearchMode ChosenMode() const;
    bool RefuseSearch(const TermSearch &search);
    void RunSearch(const TermSearch &search);
    void EndBusyState();

    // The controls the window only builds and captions.
    QWidget *Picture1 = nullptr; // toolbar row
    QWidget *Picture3 = nullptr; // search row
    QWidget *Picture4 = nullptr; // results and options row
    QWidget *Picture2 = nullptr; // status strip
    QPushButton *cmdClear = nullptr;
    QGroupBox *Frame1 = nullptr;
    QToolButton *cmdPrint = nullptr;
    QToolButton *cmdCopy = nullptr;
    QToolButton *cmdDelete = nullptr;
    QToolButton *cmdFind = nullptr;
    QToolButton *cmdFindNext = nullptr;
    QToolButton *cmdDictionary = nullptr;
    QToolButton *cmdCommentary = nullptr;
    QToolButton *cmdBibNames = nullptr;
    QToolButton *cmdHlp = nullptr;
    QToolButton *cmdCHM = nullptr;
    QToolButton *cmdMP3 = nullptr;
    QAction *mEditCut = nullptr;
    QAction *mEditCopy = nullptr;
    QAction *mEditPaste = nullptr;
    QAction *mEditUndo = nullptr;
    QAction *mEditDelete = nullptr;
    ImageList ImgList1;
    FormatToolbar *m_formatToolbar = nullptr;

    NotesDocument *m_document = nullptr;
    EditCommands *m_edit = nullptr;
    std::unique_ptr<WorkspaceFiles> m_files;
    std::unique_ptr<RunView> m_runView;
    std::unique_ptr<SearchRun> m_run;
    std::unique_ptr<MenuTable> m_menus;
    SearchHistory m_history;

    bool m_busy = false;
    bool m_closeAfterSearch = false;
    bool m_lookingUpName = false;
    QList<QIcon> m_searchFrames;
    int m_animationFrame = 0;
    int m_animationCycles = 0;
    std::shared_ptr<Translation> m_currentTranslation;
    int m_bookRangeCode = 1;
    QString m_dayText;
};
