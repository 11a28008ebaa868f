#pragma once

#include "preferences/TranslationsFile.h"

#include <QWidget>

class QLabel;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;

// The "Bible Precedence" page of the Options dialog: the Bibles of the module
// list with a check box each (enabled) in the order the program uses them. Every
// accepted change rewrites "Translations.txt" at once, reloads the module lists
// and tells the other windows; Cancel of the dialog undoes none of it.
class BiblePrecedence : public QWidget
{
    Q_OBJECT

public:
    enum Column { ColName, ColNumber, ColFile, ColStatus, ColCodePage, ColumnCount };

    explicit BiblePrecedence(QWidget *parent = nullptr);

    // Fills the list from the module list file; a file that cannot be read is
    // reported and leaves the list empty.
    void FillList();

    void cmdUp_Click();
    void CmdDown_Click();
    void LV_ColumnClick(int column);
    // The user checked or unchecked a row.
    void LV_ItemCheck(QTreeWidgetItem *item);

    static QString StatusText(bool fileExists, bool enabled);

    QLabel *lblPrecedence = nullptr;
    QTreeWidget *LV = nullptr;
    QToolButton *cmdUp = nullptr;
    QToolButton *CmdDown = nullptr;

private:
    void addRow(int number, const TranslationsFile::BibleRecord &record);
    void setStatus(QTreeWidgetItem *item, bool fileExists);
    bool moduleFileExists(const QTreeWidgetItem *item) const;
    void move(int direction);
    // Puts the rows in the order of the keys (stable); the selected row stays selected.
    void reorderRows(int column, bool ascending);
    void renumber();
    void SaveTranslationOrder();

    bool m_sortAscending = false;
    // The list could not be stored because the program's folder is read-only,
    // and the reader was told so since it was filled: each move is not told again.
    bool m_toldReadOnly = false;
};
