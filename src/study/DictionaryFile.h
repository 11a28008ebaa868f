#pragma once

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

// One entry of a dictionary file: "<number><Tab><headword><Tab><entry text>".
struct DictionaryEntry
{
    std::optional<qint16> number; // none when the field is not a 16-bit number
    QString headword;
    QString text;
};

// A dictionary file, read from its start for every question: only the headword
// list is kept by the window. Lines without two Tabs are no entries and are
// passed over. A file that cannot be read raises a RuntimeError.
class DictionaryFile
{
public:
    DictionaryFile(QString path, int codePage);

    // Every headword in file order, duplicates included.
    QStringList Headwords() const;
    // The first entry whose headword equals the given one exactly.
    std::optional<DictionaryEntry> Find(const QString &headword) const;
    // The headwords of the entries with the given numbers, in file order, each once.
    QStringList HeadwordsOf(const std::vector<qint16> &numbers) const;

    // The numbers an entry text refers to, in the order they stand: the marker
    // (character 175 of code page 1252, U+00AF) and five digits. A reference that
    // is not five digits or does not fit 16 bits is left out.
    static std::vector<qint16> References(const QString &entryText);
    // What the pane shows: the headword, a line break, then the text with "|" as line breaks.
    static QString ShownText(const DictionaryEntry &entry);

    static constexpr char16_t ReferenceMarker = u'\u00AF';

private:
    template <typename Visit> void ForEachEntry(Visit &&visit) const;

    QString m_path;
    int m_codePage = 0;
};
