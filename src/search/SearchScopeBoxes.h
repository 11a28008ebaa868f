#pragma once

#include <QObject>

class QComboBox;
class SearchScope;

// The search row's translation and range boxes over the SearchScope: they list
// what may be searched and show the reader's last choice; a choice made in them
// becomes the scope's, and is saved.
class SearchScopeBoxes : public QObject
{
    Q_OBJECT

public:
    SearchScopeBoxes(QComboBox *translations, QComboBox *books, SearchScope &scope, QObject *parent);

    // Lists the enabled translations; the first is chosen.
    void FillTranslations();
    // Shows and chooses the translation chosen last time, when it is still there.
    void SelectSavedTranslation();
    // Chooses the range entry chosen last time.
    void RestoreBookRange();
    // Shows the saved range by its text, when that is the text of an entry.
    void GetComboBookmark();
    // The books by their names in the interface language; the chosen range stays.
    void International();
    // The list of translations changed: listed anew, the first chosen.
    void TranslationsChanged();

private:
    void cboTranslation_Click();
    void cboBooks_Click();
    static void KeepEntriesWhole(QComboBox *box);

    QComboBox *m_translations;
    QComboBox *m_books;
    SearchScope &m_scope;
};
