#pragma once

#include <QDialog>
#include <functional>

class QPlainTextEdit;
class QPushButton;

// Shows the licence agreement in the interface language, read-only, with one OK
// button to the right of the text.
class Indemnity : public QDialog
{
    Q_OBJECT

public:
    Indemnity();

    // Opens the default instance modally. Callers (and tests) may replace how.
    static void ShowModal();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // The text as read: each line of the file preceded by CR LF.
    QString licenceText() const { return m_licenceText; }

    void btnOkay_Click();
    void Form_Resize();

    QPlainTextEdit *Text1 = nullptr;
    QPushButton *btnOkay = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void Form_Load();
    static QString licenceFile();

    QString m_licenceText;
};
