#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QLabel;
class QPushButton;

// The About box: version, title, disclaimer and web address of the product, a
// link to its web site and a button that starts the system's own
// system-information tool.
class frmAbout : public QDialog
{
    Q_OBJECT

public:
    frmAbout();

    // Opens the default instance modally. Callers (and tests) may replace how.
    static void ShowModal();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // Graphical system-information programs, in the order they are looked for.
    static QStringList SystemInformationPrograms();

    void cmdOK_Click();
    void lWeb_Click();
    void cmdSysInfo_Click();
    // Starts the first system-information program found on the search path; when
    // none can be started, says so.
    void StartSysInfo();

    QLabel *lblVersion = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblDisclaimer = nullptr;
    QLabel *lWeb = nullptr;
    QLabel *lblDescription = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdSysInfo = nullptr;

private:
    void Form_Load();
};
