#pragma once

#include "study/PaneLook.h"

#include <QList>
#include <QWidget>

class QComboBox;
class QLabel;
class RichTextBox;

// Looks words up in the installed dictionaries and walks from an entry to the
// entries it refers to ("See Also").
class Dictionary : public QWidget
{
    Q_OBJECT
public:
    Dictionary();
    ~Dictionary() override;

    static Dictionary *Open();
    static void Register();

    // Runs the load; false when no dictionary is installed (the window then has
    // said so and unloaded itself).
    bool Form_Load();
    void KeepOpen() {}

    void PopulateAlt(const QString &entryText);
    void LoadCombo(int index);

    void cboLookup_GotFocus();
    void cboTranslation_Click(int index);
    void cboLookup_Click();
    void cboAlt_Click();

    // 255 while no dictionary is loaded.
    int CurrentDictionary() const { return m_CurrentDictionary; }

    QWidget *frm1 = nullptr;
    QLabel *Label1 = nullptr;
    QComboBox *cboLookup = nullptr;
    QLabel *Label2 = nullptr;
    QComboBox *cboAlt = nullptr;
    QLabel *Label3 = nullptr;
    QComboBox *cboTranslation = nullptr;
    RichTextBox *RT = nullptr;
    QLabel *lbl1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void Form_Resize();
    QList<int> ListNeeds() const;
    void Form_Unload();
    void ShowEntry(const QString &headword, const QString &routine);

    int m_CurrentDictionary = 255;
    bool m_firstLoadTried = false;
    PanePageLayout m_pageLayout;
};
