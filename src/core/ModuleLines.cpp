#include "core/ModuleLines.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <cstring>
#include <optional>

namespace {
// A decimal field: blanks around it and a sign are allowed, nothing else.
std::optional<qint32> fieldNumber(const char *begin, const char *end)
{
    const char *p = begin;
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    qint64 value = 0;
    const char *digits = p;
    while (p < end && *p >= '0' && *p <= '9' && value <= 0x7FFFFFFF)
        value = value * 10 + (*p++ - '0');
    while (p < end && *p == ' ')
        ++p;
    if (p == digits || p != end || value > 0x7FFFFFFF)
        return std::nullopt;
    return qint32(negative ? -value : value);
}

const char *const FieldNames[] = {"line number", "book", "chapter", "verse"};
} // namespace

ModuleLines::ModuleLines(QByteArray bytes)
    : m_bytes(std::move(bytes))
{
}

ModuleLines::Line ModuleLines::next()
{
    Line line;
    line.start = m_pos;
    const char *data = m_bytes.constData();
    const qsizetype n = m_bytes.size();
    const auto *lf = static_cast<const char *>(std::memchr(data + m_pos, '\n', size_t(n - m_pos)));
    qsizetype end = lf ? lf - data : n;
    m_pos = lf ? end + 1 : n;
    if (lf) {
        if (end == line.start || data[end - 1] != '\r') {
            line.problem = LineFeedAlone;
            line.size = end - line.start;
            return line;
        }
        --end;
    }
    line.size = end - line.start;
    // A UTF-8 file may begin with its byte-order mark: it is no part of the line number.
    qsizetype first = line.start;
    if (first == 0 && n >= 3 && std::memcmp(data, "\xEF\xBB\xBF", 3) == 0)
        first = std::min<qsizetype>(3, end);
    // Only the first four fields matter here; the text may hold further Tabs.
    const char *fieldBegin[4] = {data + first};
    const char *fieldEnd[4] = {};
    int fieldCount = 1;
    for (qsizetype i = first; i < end && fieldCount <= 4; ++i) {
        if (data[i] != '\t')
            continue;
        fieldEnd[fieldCount - 1] = data + i;
        if (fieldCount < 4)
            fieldBegin[fieldCount] = data + i + 1;
        else {
            line.text = data + i + 1;
            line.textSize = end - (i + 1);
        }
        ++fieldCount;
    }
    if (fieldCount <= 4)
        fieldEnd[fieldCount - 1] = data + end;
    line.fieldCount = fieldCount;
    if (fieldCount < 4) {
        line.problem = TooFewFields;
        return line;
    }
    qint32 *values[] = {&line.number, &line.book, &line.chapter, &line.verse};
    for (int f = 0; f < 4; ++f) {
        const std::optional<qint32> value = fieldNumber(fieldBegin[f], fieldEnd[f]);
        if (!value) {
            line.problem = NotANumber;
            line.badField = f + 1;
            line.badText = QByteArray(fieldBegin[f], fieldEnd[f] - fieldBegin[f]);
            return line;
        }
        *values[f] = *value;
        const bool inRange = *value >= 0 && (f != 1 || (*value >= 1 && *value <= MaxBook));
        if (!inRange) {
            line.problem = OutOfRange;
            line.badField = f + 1;
            line.badText = QByteArray(fieldBegin[f], fieldEnd[f] - fieldBegin[f]);
            return line;
        }
    }
    if (!line.text)
        line.text = data + end; // four fields: an empty text
    return line;
}

QString ModuleLines::describe(const Line &line)
{
    switch (line.problem) {
    case LineFeedAlone:
        return QStringLiteral("ends with a line feed alone (the lines of a module end with CR LF)");
    case TooFewFields:
        if (line.size == 0)
            return QStringLiteral("is empty");
        return line.fieldCount == 1 ? QStringLiteral("has only 1 field")
                                    : QStringLiteral("has only %1 fields").arg(line.fieldCount);
    case NotANumber:
        return QStringLiteral("the %1 '%2' is not a number")
            .arg(QLatin1String(FieldNames[line.badField - 1]), QString::fromLatin1(line.badText));
    case OutOfRange:
        return QStringLiteral("the %1 '%2' is out of range")
            .arg(QLatin1String(FieldNames[line.badField - 1]), QString::fromLatin1(line.badText));
    case WellFormed:
        break;
    }
    return QString();
}

QString ModuleLines::decodeText(const Line &line, int codePage)
{
    return CodePage::decode(line.text, line.textSize, codePage == 0 ? CodePage::SystemAnsi : codePage);
}
