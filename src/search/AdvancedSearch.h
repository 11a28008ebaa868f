#pragma once

#include "search/TermSearch.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTextDocument;
class QTimer;
class RichTextBox;
class Translation;
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
    void m_globalnotifer_Notify(const QString &eventName);

    void cmdSearch_Click();
    void cmdStopSearch_Click();
    void cmdClear_Click();
    void cboSearch_KeyPress(int keyAscii);
    void cboSearch_LostFocus();
    void cboTranslation_Click();
    void cboBooks_Click();
    void mFileSaveAs_Click();
    void Timer1_Timer();

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

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    class BusyState;

    void CreateControls();
    void LayOutControls();
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
    void ShowDocument(QTextDocument *document);
    void HighlightText(QTextDocument *document, const QStringList &terms, bool ignoreCase);
    bool ColourHits(QTextDocument *document, const HighlightPlan &plan, int *termsReached);
    void ShowSummary(const HighlightPlan &plan, int termsReached, bool ignoreCase);
    bool LetEventsRun();

    std::shared_ptr<Translation> m_currentTranslation;
    int m_bookRangeCode = 1;
    QString m_dayText;
    qint64 m_matchCount = 0;
    bool m_stopFlag = false;
    bool m_searchRunning = false;
    bool m_closeAfterSearch = false;
    int m_pollMilliseconds = TermSearch::PollMilliseconds;
};
