#pragma once

#include <QPointer>
#include <cstddef>
#include <vector>

class HostWindowProc;
class QTextEdit;
class QWidget;

// The hosts whose rich-edit windows the library relays for, in the order of
// creation. A host's entries go when the host is destroyed, so the table holds
// only live hosts and needs no limit.
class SubclassTable
{
public:
    static SubclassTable &instance();

    // Relays the editor's notifications to the host (editor may be null when it
    // could not be made) and gives the host's focus to the editor.
    void insert(QWidget *host, QTextEdit *editor);
    std::size_t size() const { return m_entries.size(); }

private:
    struct Entry
    {
        QWidget *host; // compared only: removed when the host is destroyed
        QPointer<QTextEdit> editor;
        QPointer<HostWindowProc> relay;
    };

    SubclassTable() = default;
    void remove(const QWidget *host);

    std::vector<Entry> m_entries;
};
