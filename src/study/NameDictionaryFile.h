#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// A names dictionary file: "<any text><Tab><name><Tab><meaning>", where the
// meaning runs to the end of the line, Tabs included. A line without a Tab names
// nothing and is passed over. A file that cannot be read raises a RuntimeError.
class NameDictionaryFile
{
public:
    NameDictionaryFile(QString path, int codePage);

    // The names in file order.
    QStringList Names() const;
    // The meaning on the first line whose name equals the given one exactly.
    std::optional<QString> Meaning(const QString &name) const;

    // The first of the names that starts with the typed text, compared without
    // case; -1 when none does. An empty text matches the first name.
    static int FirstStartingWith(const QStringList &names, const QString &typed);

private:
    QString m_path;
    int m_codePage = 0;
};
