#include "study/NameDictionaryFile.h"
#include "platform/TextFile.h"

namespace {
struct NameLine
{
    QString name;
    QString meaning;
};

std::optional<NameLine> parseLine(const QString &line)
{
    const qsizetype first = line.indexOf(QLatin1Char('\t'));
    if (first < 0)
        return std::nullopt;
    const qsizetype second = line.indexOf(QLatin1Char('\t'), first + 1);
    if (second < 0)
        return NameLine{line.mid(first + 1), QString()};
    return NameLine{line.mid(first + 1, second - first - 1), line.mid(second + 1)};
}
} // namespace

NameDictionaryFile::NameDictionaryFile(QString path, int codePage)
    : m_path(std::move(path))
    , m_codePage(codePage)
{
}

QStringList NameDictionaryFile::Names() const
{
    QStringList names;
    TextReader reader = TextReader::fromFile(m_path, m_codePage);
    while (!reader.atEnd())
        if (const std::optional<NameLine> line = parseLine(reader.readLine()))
            names.append(line->name);
    return names;
}

std::optional<QString> NameDictionaryFile::Meaning(const QString &name) const
{
    TextReader reader = TextReader::fromFile(m_path, m_codePage);
    while (!reader.atEnd()) {
        const std::optional<NameLine> line = parseLine(reader.readLine());
        if (line && line->name == name)
            return line->meaning;
    }
    return std::nullopt;
}

int NameDictionaryFile::FirstStartingWith(const QStringList &names, const QString &typed)
{
    for (int i = 0; i < names.size(); ++i)
        if (names[i].startsWith(typed, Qt::CaseInsensitive))
            return i;
    return -1;
}
