#pragma once

#include <QDialog>
#include <functional>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

// The page setup dialog: unit, page width, the four margins, fit to window and
// "Apply to All Forms". OK saves the settings and lays the workspace's document
// pane out by them; Cancel puts back the values the dialog read when it opened.
class PageSetup : public QDialog
{
    Q_OBJECT

public:
    PageSetup();

    // Opens the dialog modally, each time anew (it reads the stored settings again).
    static void ShowModal();
    // Makes the dialog reachable from the workspace's File menu.
    static void Register();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // Round(value, decimals) with halves to even, in single precision.
    static float RoundTo(float value, int decimals);

    void optCM_Click();
    void optIN_Click();
    void optNone_Click();
    void cboWidth_Click();
    void cboLeft_Click();
    void cboRight_Click();
    void cboTop_Click();
    void cboBottom_Click();
    void chkAll_Click();
    void cmdINDEX_Click();
    void cmdCancel_Click();
    void FillCombos();

    bool UnitReady = false;

    QGroupBox *F1 = nullptr;
    QRadioButton *optCM = nullptr;
    QRadioButton *optIN = nullptr;
    QRadioButton *optNone = nullptr;
    QComboBox *cboWidth = nullptr;
    QComboBox *cboLeft = nullptr;
    QComboBox *cboRight = nullptr;
    QLabel *lblWidth = nullptr;
    QLabel *lblLeft = nullptr;
    QLabel *lblRight = nullptr;
    QGroupBox *Frame1 = nullptr;
    QComboBox *cboTop = nullptr;
    QComboBox *cboBottom = nullptr;
    QLabel *lblTop = nullptr;
    QLabel *lblBottom = nullptr;
    QCheckBox *chkAll = nullptr;
    QPushButton *cmdINDEX = nullptr;
    QPushButton *cmdCancel = nullptr;

public slots:
    // Escape cancels.
    void reject() override;

protected:
    // The close box confirms, as OK does.
    void closeEvent(QCloseEvent *event) override;

private:
    struct Values
    {
        bool cmIn;
        float width, left, right, top, bottom;
        bool fit;
    };

    void buildControls();
    void Form_Load();
    void Form_Unload(int cancel);
    void restoreOpenedValues();
    void layOutPane(int cancel);
    void setSideBoxesEnabled(bool enabled);
    bool takeTypedLengths(bool everyBox);
    bool leavesRoomForText();
    void OfferPaperWidth();

    Values m_opened{};
    bool m_unloaded = false;
};
