#pragma once

#include <QString>
#include <QWidget>

class QComboBox;
class QPlainTextEdit;
class QToolBar;

// Finds the meaning of a proper name in the first installed names dictionary.
class frmNameDictionary : public QWidget
{
    Q_OBJECT
public:
    frmNameDictionary();
    ~frmNameDictionary() override;

    static frmNameDictionary *Open();
    static void Register();

    // Runs the load; false when no names dictionary is installed (the window then
    // has said so and unloaded itself).
    bool Form_Load();
    void KeepOpen() {}

    void cboWord_Click();
    // Enter jumps to the first name that starts with the typed text; KeyAscii
    // becomes 0 when the key was used.
    void cboWord_KeyPress(int &KeyAscii);

    QString NameFile() const { return m_NameFile; }

    QToolBar *Toolbar1 = nullptr;
    QComboBox *cboWord = nullptr;
    QComboBox *cboWhichNames = nullptr;
    QPlainTextEdit *Text1 = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void CreateControls();
    void Form_Resize();
    void CloseNameDictionary();
    void ApplyLook();

    QString m_NameFile;
    int m_CodePage = 0;
};
