#include "search/SearchScopeBoxes.h"
#include "search/BookRange.h"
#include "search/SearchScope.h"

#include "controls/TextFit.h"
#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"

#include <QComboBox>
#include <QSignalBlocker>

SearchScopeBoxes::SearchScopeBoxes(QComboBox *translations, QComboBox *books, SearchScope &scope,
                                   QObject *parent)
    : QObject(parent)
    , m_translations(translations)
    , m_books(books)
    , m_scope(scope)
{
    connect(m_translations, &QComboBox::currentIndexChanged, this, [this] { cboTranslation_Click(); });
    connect(m_books, &QComboBox::currentIndexChanged, this, [this] { cboBooks_Click(); });
}

void SearchScopeBoxes::FillTranslations()
{
    const QSignalBlocker blocker(m_translations);
    m_translations->clear();
    m_translations->addItems(m_scope.ListTranslations());
    KeepEntriesWhole(m_translations);
}

void SearchScopeBoxes::SelectSavedTranslation()
{
    if (!m_scope.RestoreTranslation())
        return;
    const int index = m_translations->findText(m_scope.ChosenTranslation()->DisplayName, Qt::MatchExactly);
    if (index >= 0) {
        const QSignalBlocker blocker(m_translations);
        m_translations->setCurrentIndex(index);
    }
    cboTranslation_Click();
}

void SearchScopeBoxes::TranslationsChanged()
{
    FillTranslations();
    if (m_translations->count() > 0)
        cboTranslation_Click();
}

void SearchScopeBoxes::cboTranslation_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cboTranslation_Click()"),
               [this] { m_scope.ChooseTranslation(m_translations->currentText()); });
}

void SearchScopeBoxes::RestoreBookRange()
{
    {
        const QSignalBlocker blocker(m_books);
        m_books->setCurrentIndex(SearchScope::SavedRangeEntry(m_books->count()));
    }
    cboBooks_Click();
}

void SearchScopeBoxes::cboBooks_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cbobooks_Click()"),
               [this] { m_scope.ChooseRange(m_books->currentIndex()); });
}

void SearchScopeBoxes::GetComboBookmark()
{
    IgnoreErrors([this] {
        const QString value = SearchScope::SavedRangeText();
        if (value.isEmpty())
            return;
        const int index = m_books->findText(value, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (index >= 0)
            m_books->setCurrentIndex(index);
    });
}

void SearchScopeBoxes::International()
{
    // A change of language keeps the chosen range.
    const int chosen = m_books->currentIndex();
    const QSignalBlocker blocker(m_books);
    m_books->clear();
    for (int book = 1; book <= BookRange::Count; ++book)
        m_books->addItem(BookNames().FullName(qint16(book)));
    m_books->setCurrentIndex(chosen >= 0 ? chosen : 0);
    KeepEntriesWhole(m_books);
}

// The names of translations and ranges are told apart by their ends ("The Law
// (Genesis - Deuteronomy)"), so a box never shows fewer than its longest entry.
void SearchScopeBoxes::KeepEntriesWhole(QComboBox *box)
{
    box->setMinimumWidth(TextFit::ListWidth(box));
}
