#pragma once

#include <QStringList>
#include <memory>

class Translation;

// What a search looks through: one translation and a range of its books (the
// code 1-72 of an entry of the range box), as the reader chose them last. Both
// choices are kept in the settings.
class SearchScope
{
public:
    // The display names of the enabled translations, in list order; the first
    // one becomes the chosen translation.
    QStringList ListTranslations();
    // Chooses the translation saved last time when it is still there; false when
    // no translation is chosen.
    bool RestoreTranslation();
    // Chooses a translation by its display name and saves the choice.
    void ChooseTranslation(const QString &displayName);
    std::shared_ptr<Translation> ChosenTranslation() const { return m_translation; }

    // The range box's entry (0-based) saved last time; the New Testament when the
    // saved value is not the number of one of the box's entries.
    static int SavedRangeEntry(int entries);
    // The saved value as it stands.
    static QString SavedRangeText();
    // Chooses the range of an entry of the range box (0-based) and saves it.
    void ChooseRange(int entry);
    int RangeCode() const { return m_rangeCode; }

private:
    std::shared_ptr<Translation> m_translation;
    int m_rangeCode = 1;
};
