#pragma once

#include <QDialog>
#include <functional>

class QComboBox;
class QFileSystemModel;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class QTreeView;

// The folder picker of the module-folder chooser: a list of file-system roots
// (the root, the home folder and mounted media), a folder tree and an editable
// folder line that the update button takes.
class frmDirlist : public QDialog
{
    Q_OBJECT

public:
    frmDirlist();

    // Opens the default instance modally. Tests may replace how.
    static void ShowModal();
    // Returns the previous opener; an empty function restores the real one.
    static std::function<void()> setShowModal(std::function<void()> show);

    // The roots offered in Drive1: "/", the home folder and the mount points
    // below /media and /mnt.
    static QStringList driveRoots();

    // The folder selected in the tree (no trailing "/" except for the root).
    QString dirPath() const { return m_dirPath; }
    // Selects a folder in the tree, as a click on it does.
    void setDirPath(const QString &path);

    void Drive1_Change();
    void Dir1_Change();
    void cmdDone_Click();
    void cmsClose_Click();

    QComboBox *Drive1 = nullptr;
    QTreeView *Dir1 = nullptr;
    QLabel *Label1 = nullptr;
    QLineEdit *Text1 = nullptr;
    QPushButton *cmdDone = nullptr;
    QPushButton *cmsClose = nullptr;

private:
    void showDrive(const QString &root);

    QFileSystemModel *m_folders = nullptr;
    QTimer *m_reveal = nullptr;
    QString m_dirPath;
};
