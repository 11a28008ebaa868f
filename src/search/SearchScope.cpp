#include "search/SearchScope.h"
#include "search/BookRange.h"

#include "core/GlobalVars.h"
#include "core/Registry_.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"

namespace {
const QString SettingsSection = QStringLiteral("Settings");
const QString TranslationKey = QStringLiteral("AdvancedSearchTranslation");
const QString RangeKey = QStringLiteral("CBOBookmark");
} // namespace

QStringList SearchScope::ListTranslations()
{
    QStringList names;
    m_translation.reset();
    for (int i = 0; i < gBibles.Count(); ++i) {
        if (!gBibles.Enabled(i))
            continue;
        names.append(gBibles.DisplayName(i));
        if (!m_translation)
            m_translation = TranslationHelpers::GetTranslation(i);
    }
    return names;
}

bool SearchScope::RestoreTranslation()
{
    m_translation = TranslationHelpers::GetTranslationByFileName(
        Registry_::GetString(TranslationKey, QString()), m_translation);
    return bool(m_translation);
}

void SearchScope::ChooseTranslation(const QString &displayName)
{
    m_translation = TranslationHelpers::GetTranslationByDisplayName(displayName, m_translation);
    if (m_translation)
        Registry_::SaveString(TranslationKey, m_translation->FileName);
}

QString SearchScope::SavedRangeText()
{
    return Registry_::GetString(RangeKey, QString(), SettingsSection);
}

int SearchScope::SavedRangeEntry(int entries)
{
    bool ok = false;
    const int entry = SavedRangeText().trimmed().toInt(&ok);
    return ok && entry >= 0 && entry < entries ? entry : BookRange::DefaultListIndex;
}

void SearchScope::ChooseRange(int entry)
{
    m_rangeCode = entry + 1;
    Registry_::SaveString(RangeKey, QString::number(entry), SettingsSection);
}
