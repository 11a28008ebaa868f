#pragma once

#include "controls/ImageList.h"
#include "search/DocumentFind.h"
#include "search/TermSearch.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class FormatToolbar;
class MenuTable;
struct MenuItem;
class QAction;
class QCheckBox;
class QMenu;
class QToolButton;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextBlockFormat;
class QTextDocument;
class QTimer;
class RichTextBox;
class Translation;
class WorkspaceFiles;
struct HighlightPlan;

// The search and notes workspace: searches one translation, or a range of its
// books, in four modes; every verse found becomes one reference line of the
// document RT, the hits of each term are coloured up to the highlight limit and
// counted in the summary box, and the search texts are kept as a history. The
// search itself is TermSearch; this window takes the choices, shows the result
// and keeps the window alive while the search runs.
class AdvancedSearch : public QMainWindow
{
    Q_OBJECT

public:
    AdvancedSearch();
    ~AdvancedSearch() override;

    // The default instance, loaded (not shown) on first use.
    static AdvancedSearch &Instance();
    // Makes the workspace reachable from the main window (View > Search and Notes).
    static void Register();

    // Where the verses of a translation come from: the verse reader, unless a
    // test puts another source in. Returns the previous one; empty restores it.
    using SourceFactory = std::function<TermSearch::VerseSource(const Translation &)>;
    static SourceFactory setSourceFactory(SourceFactory factory);
    // How often the search lets events run (tests poll every few lines).
    void setPollInterval(int milliseconds) { m_pollMilliseconds = milliseconds; }

    // The design's routines.
    void International();
    void GetComboBookmark();
    void LoadBookmarks();
    void PopulateHistoryCombo();
    void SaveComboHistory();
    void SetMenuEnabledState(bool state);
    int AskToSave();
    // The file that Save writes to, after a bookmark's document was loaded.
    void SetDocumentFileName(const QString &path);
    void m_globalnotifer_Notify(const QString &eventName);

    void cmdSearch_Click();
    void cmdStopSearch_Click();
    void cmdClear_Click();
    void cboSearch_KeyPress(int keyAscii);
    void cboSearch_LostFocus();
    void cboTranslation_Click();
    void cboBooks_Click();
    void mFileNew_Click();
    void mFileOpen_Click();
    void mFileSave_Click();
    void mFileSaveAs_Click();
    void mFilePrint_Click();
    void mFilePrintSetup_Click();
    void Timer1_Timer();

    // Menus: pictures, enabling, and each command run as its item runs it
    // (errors trapped under the item's trace name).
    MenuTable &Menus() { return *m_menus; }
    void AddPicturesToMenu();
    void CheckClipboard();
    void mFileClose_Click();
    void mFilePageSetup_Click();
    void mFilePrintPreview_Click();
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

    // The document pane's events.
    void RT_Click();
    void RT_MouseUp();
    void RT_SelChange();
    // Keys of the document pane (the formatting bar's): F3, Ctrl+A/B/F/T/U/W act
    // when pressed, Alt+C/D/L/O/R/S when released. KeyCode 0 swallows the key.
    void Form_KeyDown(int &KeyCode, int Shift);
    void Form_KeyUp(int &KeyCode, int Shift);

    // State the search and later windows read.
    int BookRangeCode() const { return m_bookRangeCode; }
    std::shared_ptr<Translation> CurrentTranslation() const { return m_currentTranslation; }
    bool SearchRunning() const { return m_searchRunning; }
    qint64 MatchCount() const { return m_matchCount; }
    // The document's unsaved-changes flag.
    bool TextChanged() const;

    // The controls, named as the design names them.
    RichTextBox *RT = nullptr;
    QWidget *Picture3 = nullptr; // search row
    QWidget *Picture4 = nullptr; // results and options row
    QWidget *Picture2 = nullptr; // status strip
    QComboBox *cboSearch = nullptr;
    QPushButton *cmdClear = nullptr;
    QPushButton *cmdSearch = nullptr;
    QPushButton *cmdStopSearch = nullptr;
    QComboBox *cboTranslation = nullptr;
    QComboBox *cboBooks = nullptr;
    QComboBox *cboResults = nullptr;
    QCheckBox *chkActiveUpd = nullptr;
    QCheckBox *chkIgnoreCase = nullptr;
    QGroupBox *Frame1 = nullptr;
    QRadioButton *optNone = nullptr;
    QRadioButton *optAnyOrder = nullptr;
    QRadioButton *optAnyTerms = nullptr;
    QRadioButton *optAllVerses = nullptr;
    QLabel *lblStatusTextL = nullptr;
    QLineEdit *txtStatusTextR = nullptr;
    QProgressBar *ProgressBar1 = nullptr;
    QTimer *Timer1 = nullptr;
    ImageList ImgList1;

    // The toolbar row, with the formatting bar (cmdBold, cboFont, ...) in it.
    QWidget *Picture1 = nullptr;
    FormatToolbar *FormatBar() const { return m_formatToolbar; }
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
    QToolButton *cmdCHM = nullptr;
    QToolButton *cmdMP3 = nullptr;

    // The menus, bound by their design names.
    QMenu *zFile = nullptr;
    QMenu *zEdit = nullptr;
    QMenu *zView = nullptr;
    QMenu *zTools = nullptr;
    QAction *mEditCut = nullptr;
    QAction *mEditCopy = nullptr;
    QAction *mEditPaste = nullptr;
    QAction *mEditUndo = nullptr;
    QAction *mEditDelete = nullptr;
    QAction *mEditWrapText = nullptr;
    QAction *mIntegrateNames = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class BusyState;

    void CreateControls();
    void CreateToolbar();
    void LayOutControls();
    void CreateMenus();
    QList<MenuItem> MenuDescription();
    MenuItem FileMenu();
    MenuItem EditMenu();
    void AdjustSharedMenus(QList<MenuItem> &menus);
    void BindMenuMembers();
    void ConnectToolbar();
    void ConnectPane();
    void UpdateEditCommands();
    void EnableStudyButtons();
    void AnimateSearchButton();
    void EnableUndo();
    void DoSetFocus();
    void FindInDocument();
    void WrapText(bool on);
    bool PaneEvent(QObject *watched, QEvent *event);
    void PrintDocument();
    static void PrintSetup();
    void ConnectControls();
    void Form_Load();
    void Form_Unload(bool &cancel);
    void FillTranslations();
    void SelectSavedTranslation();
    void RestoreBookRange();
    void ApplyPageLayout();

    SearchMode ChosenMode() const;
    bool MayReplaceDocument();
    bool RefuseSearch(const TermSearch &search);
    void RunSearch(const TermSearch &search);
    SearchResult ScanVerses(const TermSearch &search, const Translation *chosen);
    void WriteScratchFiles(const SearchResult &result, Translation *chosen, int rangeCode);
    QTextDocument *ResultDocument(const QString &text);
    QTextBlockFormat PaneIndent() const;
    void ShowDocument(QTextDocument *document);
    void HighlightText(QTextDocument *document, const QString &madeFrom, const QStringList &terms,
                       bool ignoreCase);
    bool ColourHits(QTextDocument *document, const HighlightPlan &plan, int *termsReached);
    void ShowSummary(const HighlightPlan &plan, int termsReached, bool ignoreCase);
    bool LetEventsRun();

    std::unique_ptr<MenuTable> m_menus;
    WorkspaceFiles *m_files = nullptr;
    DocumentFind m_find;
    bool m_pasteable = false;
    bool m_busy = false;
    bool m_lookingUpName = false;
    QHBoxLayout *m_toolbarRow = nullptr;
    FormatToolbar *m_formatToolbar = nullptr;

    QList<QIcon> m_searchFrames;
    int m_animationFrame = 0;
    int m_animationCycles = 0;
    std::shared_ptr<Translation> m_currentTranslation;
    int m_bookRangeCode = 1;
    QString m_dayText;
    qint64 m_matchCount = 0;
    bool m_stopFlag = false;
    bool m_searchRunning = false;
    bool m_closeAfterSearch = false;
    int m_pollMilliseconds = TermSearch::PollMilliseconds;
};
