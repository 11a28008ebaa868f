#pragma once

#include "controls/ImageList.h"
#include "search/NotesDocument.h"
#include "search/SearchHistoryBox.h"
#include "search/SearchRun.h"
#include "search/SearchScope.h"
#include "search/WorkspaceToolbar.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class EditCommands;
class FormatToolbar;
class MediaBibleButtons;
class MenuTable;
class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;
class QToolButton;
class RichTextBox;
class SearchButtonAnimation;
class SearchDisplay;
class SearchScopeBoxes;
class Translation;
class WorkspaceFiles;

// The search and notes workspace: searches one translation, or a range of its
// books, in four modes, and keeps the reader's notes. The window builds its
// controls and connects them; the work is done below it. SearchRun runs a search
// and shows it through SearchDisplay; NotesDocument is the document with the file
// it is saved to; WorkspaceFiles does the File commands, EditCommands the Edit
// commands; WorkspaceMenus describes the menus and WorkspaceToolbar is the row of
// buttons that stand for them; SearchScope keeps the chosen translation and range,
// SearchHistory the search texts.
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
    // When the program ends without a question (a signal, the session ending):
    // unsaved notes are written to a file of kept notes.
    static void KeepUnsavedNotes();
    // At start: notes kept when the program last ended are offered, each in turn,
    // for opening in the workspace.
    static void OfferKeptNotes();

    // Where the verses of a translation come from: the verse reader, unless a
    // test puts another source in. Returns the previous one; empty restores it.
    using SourceFactory = std::function<TermSearch::VerseSource(const Translation &)>;
    static SourceFactory setSourceFactory(SourceFactory factory);
    // How often the search lets events run (tests poll every few lines).
    void setPollInterval(int milliseconds) { m_run->SetPollInterval(milliseconds); }

    // The window's routines, also called by other windows and the tests.
    void International();
    void PopulateHistoryCombo() { m_history->PopulateHistoryCombo(); }
    void SaveComboHistory() { m_history->SaveComboHistory(); }
    void cmdSearch_Click();
    void cmdStopSearch_Click() { m_run->Stop(); }
    void cmdClear_Click() { m_history->cmdClear_Click(); }
    void Timer1_Timer();

    // Menu commands, each run as a click on its item runs it (errors trapped
    // under the item's trace name).
    MenuTable &Menus() { return *m_menus; }
    void mFileSave_Click() { ClickMenuItem(QStringLiteral("mFileSave")); }
    void mFilePageSetup_Click() { ClickMenuItem(QStringLiteral("mFilePageSetup")); }
    void mFilePrintPreview_Click() { ClickMenuItem(QStringLiteral("mFilePrintPreview")); }
    void mFilePrintSetup_Click() { ClickMenuItem(QStringLiteral("mFilePrintSetup")); }
    void mEditCut_Click() { ClickMenuItem(QStringLiteral("mEditCut")); }
    void mEditCopy_Click() { ClickMenuItem(QStringLiteral("mEditCopy")); }
    void mEditPaste_Click() { ClickMenuItem(QStringLiteral("mEditPaste")); }
    void mEditUndo_Click() { ClickMenuItem(QStringLiteral("mEditUndo")); }
    void mEditDelete_Click() { ClickMenuItem(QStringLiteral("mEditDelete")); }
    void mEditFind_Click() { ClickMenuItem(QStringLiteral("mEditFind")); }
    void mEditFindNext_Click() { ClickMenuItem(QStringLiteral("mEditFindNext")); }
    void mEditSelectAll_Click() { ClickMenuItem(QStringLiteral("mEditSelectAll")); }
    void mEditWrapText_Click() { ClickMenuItem(QStringLiteral("mEditWrapText")); }
    void mIntegrityAll_Click() { ClickMenuItem(QStringLiteral("mIntegrityAll")); }

    // State the search and later windows read.
    int BookRangeCode() const { return m_scope.RangeCode(); }
    std::shared_ptr<Translation> CurrentTranslation() const { return m_scope.ChosenTranslation(); }
    bool SearchRunning() const { return m_run->Running(); }
    qint64 MatchCount() const { return m_run->Matches(); }
    // The document's unsaved-changes flag.
    bool TextChanged() const { return m_document->Changed(); }

    // The controls.
    RichTextBox *RT = nullptr;
    QComboBox *cboSearch = nullptr;
    QPushButton *cmdSearch = nullptr;
    QPushButton *cmdStopSearch = nullptr;
    QComboBox *cboTranslation = nullptr;
    QComboBox *cboBooks = nullptr;
    QComboBox *cboResults = nullptr;
    QCheckBox *chkActiveUpd = nullptr;
    QCheckBox *chkIgnoreCase = nullptr;
    QGroupBox *Frame1 = nullptr; // the search modes
    QRadioButton *optNone = nullptr;
    QRadioButton *optAnyOrder = nullptr;
    QRadioButton *optAnyTerms = nullptr;
    QRadioButton *optAllVerses = nullptr;
    QLabel *lblStatusTextL = nullptr;
    QLineEdit *txtStatusTextR = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    // The toolbar's buttons that act on the document, and the formatting bar.
    FormatToolbar *FormatBar() const { return m_toolbar->FormatBar(); }
    QToolButton *cmdOpen = nullptr;
    QToolButton *cmdSave = nullptr;
    QToolButton *cmdCut = nullptr;
    QToolButton *cmdPaste = nullptr;
    QToolButton *cmdUndo = nullptr;
    QToolButton *cmdBibMulti = nullptr;
    // The CHM Bible selector and the MP3 player, beside the search modes.
    QToolButton *cmdCHM = nullptr;
    QToolButton *cmdMP3 = nullptr;
    // The menus, bound by their names.
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
    void CreateControls();
    void CreateParts();
    void CreateSearchRun();
    void CreateToolbar();
    void LayOutControls();
    void CreateMenus();
    void BindMenuMembers();
    void ClickMenuItem(const QString &name);
    void ConnectControls();
    void ConnectToolbar();
    void ConnectPane();
    void Form_Load();
    void Form_Unload(bool &cancel);
    void GoToBookmark(const QString &path);
    void ComeToFront();
    bool MayEndProgram();

    void m_globalnotifer_Notify(const QString &eventName);
    void cboSearch_KeyPress(int keyAscii);

    void RT_SelChange();
    bool PaneEvent(QObject *watched, QEvent *event);
    void SetMenuEnabledState(bool state);

    SearchMode ChosenMode() const;
    // Returns what the reader is to be told once the search is over.
    QString RunSearch(const TermSearch &search);
    void EndBusyState();

    // The controls the window only builds and captions.
    WorkspaceToolbar *m_toolbar = nullptr;
    QWidget *Picture3 = nullptr; // search row
    QWidget *Picture4 = nullptr; // results and options row
    QWidget *Picture2 = nullptr; // status strip
    QPushButton *cmdClear = nullptr;
    MediaBibleButtons *m_media = nullptr;
    ImageList ImgList1;

    NotesDocument *m_document = nullptr;
    EditCommands *m_edit = nullptr;
    std::unique_ptr<WorkspaceFiles> m_files;
    std::unique_ptr<SearchDisplay> m_display;
    std::unique_ptr<SearchRun> m_run;
    std::unique_ptr<MenuTable> m_menus;
    SearchHistoryBox *m_history = nullptr;
    SearchScopeBoxes *m_scopeBoxes = nullptr;

    bool m_busy = false;
    bool m_closeAfterSearch = false;
    bool m_lookingUpName = false;
    std::unique_ptr<SearchButtonAnimation> m_animation;
    SearchScope m_scope;
    QString m_dayText;
};
