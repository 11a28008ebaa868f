#pragma once

#include <QDialog>
#include <QStringList>
#include <functional>

class QGroupBox;
class QLabel;
class QListWidget;
class QListWidgetItem;
class QPushButton;
class QTreeWidget;

// The book-name and interface-language editor: the names of the 72 books in
// each language ("books_<LANG>.txt" in SysDefs), a new language's file, the
// active names ("Books.txt") and the interface language. It never edits the
// message catalogs: a language can be the interface language when its
// "msg/<LANG>_FRM.mes" exists.
class LanguageE : public QDialog
{
    Q_OBJECT

public:
    LanguageE();

    static void ShowModal();
    static void Register();
    static std::function<void()> setShowModal(std::function<void()> show);

    static constexpr int BookCount = 72;
    static inline const QString CreateNewLanguage = QStringLiteral("CREATE NEW LANGUAGE");

    void International();
    // Makes LANG the interface language when its form catalog exists, else English.
    void GetLang(const QString &language);

    void LSel_Click();
    void LV_DblClick();
    void cDefault_Click();
    void cSave_Click();
    void cDisaster_Click();
    void Command4_Click();
    void cQuit_Click();
    // Asks about unsaved edits before the window goes; false when the window
    // stays (the edits were to be saved first and could not be).
    bool Form_Unload();
    void reject() override;

    QString BookFile() const { return m_bookFile; }
    bool Modified() const { return m_modified; }

    QTreeWidget *LV = nullptr;
    QListWidget *LSel = nullptr;
    QLabel *lbl = nullptr;
    QLabel *lbla = nullptr;
    QGroupBox *Frame1 = nullptr;
    QGroupBox *Frame2 = nullptr;
    QPushButton *cDefault = nullptr;
    QPushButton *cSave = nullptr;
    QPushButton *cDisaster = nullptr;
    QPushButton *Command4 = nullptr;
    QPushButton *cQuit = nullptr;

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void FormLoad();
    void loadLanguage(const QString &path);
    void createLanguage();
    // False when nothing was written (no language, declined, or the write failed, which is told).
    bool Save();
    // Writes the grid to the file (found without regard to case), atomically, in
    // the ANSI code page, or as UTF-8 when a name needs it; false after telling
    // the user when it cannot be written.
    bool writeGrid(const QString &fileName) const;

    QString m_bookFile;
    bool m_modified = false;
    // The entry a mouse press found already chosen; its click chooses it again.
    QListWidgetItem *m_clickedChosen = nullptr;
};
