#pragma once

#include <QString>
#include <QStringList>

// The search texts used before, oldest first, kept in the settings section
// "Search History" under the keys "0", "1", ... Texts that differ in case are
// different texts.
class SearchHistory
{
public:
    // Only the first keys are read back, so the list keeps that many texts: the
    // oldest make room for a new one.
    static constexpr int Keys = 101;

    // Reads the texts stored under the first Keys keys; a missing key is skipped.
    void Load();
    const QStringList &Entries() const { return m_entries; }
    // Adds a text that is not listed yet and saves the list; false when it was
    // listed already (nothing is saved then).
    bool Add(const QString &text);
    // Forgets every text, in the settings too.
    void Clear();

private:
    QStringList m_entries;
};
