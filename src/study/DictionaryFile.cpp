#include "study/DictionaryFile.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <algorithm>

namespace {
const QString CRLF = QStringLiteral("\r\n");

std::optional<DictionaryEntry> parseEntry(const QString &line)
{
    const qsizetype first = line.indexOf(QLatin1Char('\t'));
    const qsizetype second = first < 0 ? -1 : line.indexOf(QLatin1Char('\t'), first + 1);
    if (second < 0)
        return std::nullopt;
    DictionaryEntry entry;
    entry.number = VbConvert::toInt16(line.left(first));
    entry.headword = line.mid(first + 1, second - first - 1);
    entry.text = line.mid(second + 1);
    return entry;
}

std::optional<qint16> fiveDigits(QStringView digits)
{
    if (digits.size() != 5)
        return std::nullopt;
    int value = 0;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return std::nullopt;
        value = value * 10 + (c.unicode() - u'0');
    }
    if (value > 32767)
        return std::nullopt;
    return qint16(value);
}
} // namespace

DictionaryFile::DictionaryFile(QString path, int codePage)
    : m_path(std::move(path))
    , m_codePage(codePage)
{
}

template <typename Visit> void DictionaryFile::ForEachEntry(Visit &&visit) const
{
    TextReader reader = TextReader::fromFile(m_path, m_codePage);
    while (!reader.atEnd()) {
        const std::optional<DictionaryEntry> entry = parseEntry(reader.readLine());
        if (entry && !visit(*entry))
            return;
    }
}

QStringList DictionaryFile::Headwords() const
{
    QStringList headwords;
    ForEachEntry([&](const DictionaryEntry &entry) {
        headwords.append(entry.headword);
        return true;
    });
    return headwords;
}

std::optional<DictionaryEntry> DictionaryFile::Find(const QString &headword) const
{
    std::optional<DictionaryEntry> found;
    ForEachEntry([&](const DictionaryEntry &entry) {
        if (entry.headword != headword)
            return true;
        found = entry;
        return false;
    });
    return found;
}

QStringList DictionaryFile::HeadwordsOf(const std::vector<qint16> &numbers) const
{
    QStringList headwords;
    if (numbers.empty())
        return headwords;
    // Each line once, however often its number is referred to.
    ForEachEntry([&](const DictionaryEntry &entry) {
        if (entry.number && std::find(numbers.begin(), numbers.end(), *entry.number) != numbers.end())
            headwords.append(entry.headword);
        return true;
    });
    return headwords;
}

std::vector<qint16> DictionaryFile::References(const QString &entryText)
{
    std::vector<qint16> numbers;
    for (qsizetype at = entryText.indexOf(QChar(ReferenceMarker)); at >= 0;
         at = entryText.indexOf(QChar(ReferenceMarker), at + 1)) {
        if (const std::optional<qint16> number = fiveDigits(QStringView(entryText).mid(at + 1, 5)))
            numbers.push_back(*number);
    }
    return numbers;
}

QString DictionaryFile::ShownText(const DictionaryEntry &entry)
{
    QString text = entry.text;
    text.replace(QLatin1Char('|'), CRLF);
    return entry.headword + CRLF + text;
}
