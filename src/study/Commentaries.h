#pragma once

#include "study/PaneLook.h"

#include <QList>
#include <QWidget>
#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class RichTextBox;
class Translation;

// Shows a passage of a chosen Bible above the commentary on its chapter. The
// lists choose; only "Refresh" shows.
class Commentaries : public QWidget
{
    Q_OBJECT
public:
    Commentaries();
    ~Commentaries() override;

    static Commentaries *Open();
    static void Register();

    // Runs the load; false when no commentary is installed (the window then has
    // said so and unloaded itself).
    bool Form_Load();
    void KeepOpen() {}

    void ShowCommentary();
    void PopulateChap(int book);
    void PopulateVerse(int book, int chapter);
    void TranslationCombos();

    void cboTrans_Click();
    void cboComm_Click(int index);
    void cboBook_Click(int index);
    void cboChap_Click(int index);
    void cboVs_Click(int index);
    void chkChap_Click();
    void cmdGo_Click();

    std::shared_ptr<Translation> SelectedTranslation() const { return m_SelectedTranslation; }
    std::shared_ptr<Translation> SelectedCommentary() const { return m_SelectedCommentary; }
    int SelectedBook() const { return m_SelectedBook; }
    int SelectedChapter() const { return m_SelectedChapter; }
    int SelectedVerse() const { return m_SelectedVerse; }

    QWidget *frm1 = nullptr;
    QLabel *lbl1 = nullptr;
    QLabel *lbl2 = nullptr;
    QLabel *lbl3 = nullptr;
    QLabel *lbl4 = nullptr;
    QLabel *lbl5 = nullptr;
    QComboBox *cboTrans = nullptr;
    QComboBox *cboBook = nullptr;
    QComboBox *cboChap = nullptr;
    QComboBox *cboVs = nullptr;
    QComboBox *cboComm = nullptr;
    QCheckBox *chkChap = nullptr;
    QPushButton *cmdGo = nullptr;
    RichTextBox *RTb = nullptr;
    RichTextBox *RTc = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void CreateControls();
    void Form_Resize();
    QList<QComboBox *> Lists() const;
    QList<QLabel *> Labels() const;
    QList<int> ListNeeds() const;
    void KeepListsWhole();
    void Form_Unload();

    std::shared_ptr<Translation> m_SelectedTranslation;
    std::shared_ptr<Translation> m_SelectedCommentary;
    qint32 m_SelectedBook = 0;
    qint32 m_SelectedChapter = 0;
    qint32 m_SelectedVerse = 0;
    PanePageLayout m_bibleLayout;
    PanePageLayout m_commentaryLayout;
};
