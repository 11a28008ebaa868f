#pragma once

#include "core/GlobalVars.h"

#include <QDialog>
#include <QList>
#include <functional>

class BiblePrecedence;
class ColorSample;
class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;
class QTabWidget;

// The Options dialog: colours and font sizes of the search workspace's results
// and of the comparison window, the highest number of highlighted matches, the
// start-up and clean-up switches, and the Bible precedence. The dialog edits
// copies; OK stores them, Cancel drops them. Two switches (Active Update,
// Delete Temporary Files) take effect the moment they are clicked.
class frmOptions : public QDialog
{
    Q_OBJECT

public:
    frmOptions();

    static void ShowModal();
    static void Register();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // The accepted highlight limits.
    static constexpr int MinHighlights = Preferences::MaxCountSizeRange.min;
    static constexpr int MaxHighlights = Preferences::MaxCountSizeRange.max;

    void TabStrip1_Click(int index);
    void cmdColour_Click();
    void cmdResetColor_Click();
    void cmdSetColorMulti_Click();
    void cmdResetColorMulti_Click();
    // Checks the highlight limit; false (after telling the user) when it is refused.
    bool Text2_LostFocus();
    void cmdSave_Click();
    void cmdCancel_Click();

    QTabWidget *TabStrip1 = nullptr;
    QFrame *frmSingleBib = nullptr;
    QFrame *frmVerseByVerse = nullptr;
    BiblePrecedence *frmPrecedence = nullptr;
    QFrame *frmMisc = nullptr;

    ColorSample *TT = nullptr;
    ColorSample *TB = nullptr;
    QList<ColorSample *> TH; // TH1 .. TH5
    QRadioButton *OTT = nullptr;
    QRadioButton *OTB = nullptr;
    QList<QRadioButton *> OTH; // OTH1 .. OTH5
    QPushButton *cmdColour = nullptr;
    QPushButton *cmdResetColor = nullptr;
    QLineEdit *Text2 = nullptr;
    QCheckBox *chkActiveUpd = nullptr;
    QSlider *Slider2Font = nullptr;
    QLineEdit *Tbox1Font = nullptr;

    ColorSample *T2T = nullptr;
    ColorSample *T2B = nullptr;
    QRadioButton *C2Fore = nullptr;
    QRadioButton *C2Back = nullptr;
    QPushButton *cmdSetColorMulti = nullptr;
    QPushButton *cmdResetColorMulti = nullptr;
    QSlider *Slider1Font = nullptr;
    QLineEdit *Tboxfont = nullptr;

    QCheckBox *chkSplash = nullptr;
    QCheckBox *chkDeleteOnExit = nullptr;

    QPushButton *cmdSave = nullptr;
    QPushButton *cmdCancel = nullptr;

    int singleTarget() const { return m_singleTarget; }
    int multiTarget() const { return m_multiTarget; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QFrame *buildSingleBiblePage();
    QFrame *buildMultiBiblePage();
    QFrame *buildMiscPage();
    void FormLoad();
    void applySingleColor(quint32 color, bool resetting);
    void applyMultiColor(quint32 color, bool resetting);
    // Shows the colour dialog from the colour last chosen and applies what is chosen.
    void chooseColor(const QString &routine, void (frmOptions::*apply)(quint32, bool));
    void showFontSize(QLineEdit *sample, int size);
    void storeSettings();

    int m_singleTarget = 2;
    int m_multiTarget = 1;
    quint32 m_lastColor = 0;
    bool m_checkingLimit = false;
};
