#pragma once

#include "study/PaneLook.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStatusBar;
class RichTextBox;

// Puts the same verse or chapter of every enabled Bible side by side, one block
// per Bible. Every pick in the book, chapter and verse lists rebuilds the text.
class MultiBib : public QWidget
{
    Q_OBJECT
public:
    MultiBib();
    ~MultiBib() override;

    // The opener of the default instance (see StudyOpener), and its registration.
    static MultiBib *Open();
    static void Register();

    // Runs the load; true (this window has no case of nothing to show).
    bool Form_Load();
    // Called by the opener: a close asked for during a build no longer applies.
    void KeepOpen() { m_closePending = false; }

    void PopulateChap(int book);
    void PopulateVerse(int book, int chapter);
    void UpdateStatusBar(const QString &name);

    void cboBook_Click(int index);
    void cboChap_Click(int index);
    void cboChap_KeyDown(int &KeyCode);
    void cboVs_Click(int index);
    void cboVs_KeyDown(int &KeyCode);
    void cmdGo_Click();
    void optChap_Click();
    void optNone_Click();
    void RT_Click();

    bool WholeChapter() const { return m_WholeChapter; }
    int SelectedBook() const { return m_SelectedBook; }
    int SelectedChapter() const { return m_SelectedChapter; }
    int SelectedVerse() const { return m_SelectedVerse; }
    bool Building() const { return m_building; }

    QWidget *Picture1 = nullptr;
    QLabel *L1 = nullptr;
    QLabel *L2 = nullptr;
    QLabel *L3 = nullptr;
    QComboBox *cboBook = nullptr;
    QComboBox *cboChap = nullptr;
    QComboBox *cboVs = nullptr;
    QPushButton *cmdGo = nullptr;
    QRadioButton *optNone = nullptr;
    QRadioButton *optChap = nullptr;
    QCheckBox *optWholeVerse = nullptr;
    RichTextBox *RT = nullptr;
    QStatusBar *StatusBar1 = nullptr;
    QLabel *Panel1 = nullptr;
    QLabel *Panel2 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void Form_Resize();
    void Form_Unload();
    void Build();
    void PlaceWholeVerseBox();
    static qint32 TypedNumber(const QString &text);

    qint32 m_SelectedBook = 0;
    qint32 m_SelectedChapter = 0;
    qint32 m_SelectedVerse = 0;
    bool m_WholeChapter = false;
    PanePageLayout m_pageLayout;
    // Events run while the index pass writes to the progress log: a pick or a close
    // arriving then is kept for when the build has ended.
    bool m_building = false;
    bool m_rebuildPending = false;
    bool m_closePending = false;
};
