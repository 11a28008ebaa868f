#pragma once

#include <QDialog>
#include <QList>
#include <QString>
#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;
class QTreeWidget;

// Lists the CHM Bibles of the CHM folder that belong to the installed modules
// and opens the chosen one in the help viewer.
class frmCHM : public QDialog
{
    Q_OBJECT

public:
    struct ChmBible
    {
        QString displayName;
        QString fileName; // as the module list names it ("cn_web.chm")
        QString path;     // the file on disk, whatever the case of its name
    };

    explicit frmCHM(QWidget *parent = nullptr);
    ~frmCHM() override;
    static void Register();
    static void ShowModal();
    static std::function<void()> setShowModal(std::function<void()> show);

    // The CHM file name of a module's base name with the prefix "cn" or "cf".
    static QString ChmFileName(const QString &prefix, const QString &baseName);
    // Every module of the module list with a CHM file in the folder, in the list's
    // order, the "cn" file of a module before its "cf" file.
    static QList<ChmBible> FindChmBibles(const QString &moduleList, const QString &chmFolder);

    void cmdView_Click();
    void cmdDownload_Click();

    QLabel *Label1 = nullptr;
    QTreeWidget *ListView1 = nullptr;
    QPushButton *cmdView = nullptr;
    QPushButton *cmdDownload = nullptr;
    QPushButton *cmdClose = nullptr;
    QStatusBar *StatusBar1 = nullptr;

protected:
    void done(int result) override;

private:
    void AddChmBible(const ChmBible &bible);
};
