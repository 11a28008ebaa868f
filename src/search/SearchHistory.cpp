#include "search/SearchHistory.h"

#include "core/Registry_.h"
#include "platform/SettingsStore.h"

namespace {
const QString HistorySection = QStringLiteral("Search History");
// Stands for a key that is not there (an empty text is a text).
const QString Missing = QStringLiteral(".");
} // namespace

void SearchHistory::Load()
{
    m_entries.clear();
    for (int i = 0; i < Keys; ++i) {
        const QString value = Registry_::GetString(QString::number(i), Missing, HistorySection);
        if (value != Missing)
            m_entries.append(value);
    }
}

bool SearchHistory::Add(const QString &text)
{
    if (m_entries.contains(text, Qt::CaseSensitive))
        return false;
    m_entries.append(text);
    while (m_entries.size() > Keys)
        m_entries.removeFirst();
    QList<std::pair<QString, QString>> stored;
    for (int i = 0; i < m_entries.size(); ++i)
        stored.append({QString::number(i), m_entries[i]});
    SettingsStore::instance().replaceSection(Registry_::ResolveSection(HistorySection), stored);
    return true;
}

void SearchHistory::Clear()
{
    Registry_::DeleteSection(HistorySection);
    m_entries.clear();
}
