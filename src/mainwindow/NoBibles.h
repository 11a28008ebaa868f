#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

// Shown when no installed Bible can be read: the user may locate the module
// folder, read the help, visit the web site or leave. Every way out of it ends
// the program.
class NoBibles : public QDialog
{
    Q_OBJECT

public:
    NoBibles();

    // Shows the default instance modally and ends the program afterwards.
    static void ShowModal();
    // Lets the core show this dialog; called once at start.
    static void Register();

    void cmdLocate_Click();
    void Command2_Click();
    void Label2_Click();
    void Command1_Click();
    // Form_Unload: closing the dialog ends the program.
    void Form_Unload();

    // Escape closes the dialog like every other way out.
    void reject() override;
    // Public so that closing can be driven without an event loop.
    void closeEvent(QCloseEvent *event) override;

    QLabel *Label3 = nullptr;
    QLabel *Label2 = nullptr;
    QPushButton *cmdLocate = nullptr;
    QPushButton *Command2 = nullptr;
    QPushButton *Command1 = nullptr;
};
