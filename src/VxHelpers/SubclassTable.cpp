#include "VxHelpers/SubclassTable.h"

#include "VxHelpers/HostWindowProc.h"

#include <QTextEdit>
#include <algorithm>

SubclassTable &SubclassTable::instance()
{
    static SubclassTable table;
    return table;
}

void SubclassTable::insert(QWidget *host, QTextEdit *editor)
{
    const bool known = std::any_of(m_entries.cbegin(), m_entries.cend(),
                                   [host](const Entry &entry) { return entry.host == host; });
    Entry entry{host, editor, nullptr};
    if (editor) {
        entry.relay = new HostWindowProc(host, editor);
        // Every key meant for the host goes to the text.
        host->setFocusProxy(editor);
    }
    m_entries.push_back(entry);
    if (!known)
        QObject::connect(host, &QObject::destroyed, [host] { instance().remove(host); });
}

void SubclassTable::remove(const QWidget *host)
{
    const auto gone = std::remove_if(m_entries.begin(), m_entries.end(), [host](const Entry &entry) {
        if (entry.host != host)
            return false;
        // An editor moved to another parent outlives its host; its relay must not.
        if (entry.relay)
            entry.relay->deleteLater();
        return true;
    });
    m_entries.erase(gone, m_entries.end());
}
