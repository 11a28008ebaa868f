#pragma once

#include <QDialog>
#include <functional>

class QLabel;
class QPushButton;

// Shows the module folder in use and sets it to the program's own module folder
// or to one the user picks. A newly set folder is saved at once; when it holds a
// Bible the program ends, so that the next start reads the modules from there.
class frmLocate : public QDialog
{
    Q_OBJECT

public:
    frmLocate();

    // Opens the default instance modally. Callers (and tests) may replace how.
    static void ShowModal();
    // Makes the chooser reachable from the windows below it (Tools > Set Folders,
    // the no-Bible dialog).
    static void Register();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // The folder the default button takes: the program folder's "Modules/".
    static QString DefaultModuleFolder();
    // Whether the folder holds a Bible module by the rule start-up follows: a
    // Bible that the module list names is in its "Bible/" (the folder joined
    // exactly as given, names compared without case).
    static bool HasBibleModule(const QString &folder);
    // Says that no Bible was found in the folder, and why when the module list
    // itself is to blame.
    static QString NoBibleMessage(const QString &folder);
    // A typed folder as it is judged and saved: blanks around it dropped, made
    // absolute, the name's case taken from the disk, ending with "/".
    static QString NormalizedFolder(const QString &typed);
    // Makes the folder the module folder in memory and in the settings. When it
    // holds a Bible, says so (titled with the caller's caption) and ends the
    // program; otherwise returns true and the caller tells the user. A folder
    // that does not exist is refused with a message: false, nothing saved. False
    // too when the setting could not be stored, which is told: the program goes
    // on, since the next start would not find the folder.
    static bool AcceptModuleFolder(const QString &folder, const QString &caption);

    void cmdDefault_Click();
    void cmdLocate_Click();
    void cmdClose_Click();

    QLabel *Label1 = nullptr;
    QLabel *Label2 = nullptr;
    QLabel *Label3 = nullptr;
    QLabel *Label4 = nullptr;
    QLabel *Label5 = nullptr;
    QPushButton *cmdDefault = nullptr;
    QPushButton *cmdLocate = nullptr;
    QPushButton *cmdClose = nullptr;
};
