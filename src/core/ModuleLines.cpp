#include "core/ModuleLines.h"

#include "platform/CodePage.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <optional>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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
    const auto tabAt = [&](qsizetype i) {
        fieldEnd[fieldCount - 1] = data + i;
        if (fieldCount < 4)
            fieldBegin[fieldCount] = data + i + 1;
        else {
            line.text = data + i + 1;
            line.textSize = end - (i + 1);
        }
        ++fieldCount;
    };
    qsizetype i = first;
#if defined(__SSE2__)
    // The number fields are short: sixteen bytes at a time hold most of them.
    const __m128i tab = _mm_set1_epi8('\t');
    for (; fieldCount <= 4 && i < end && i + 16 <= n; i += 16) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(data + i));
        auto tabs = unsigned(_mm_movemask_epi8(_mm_cmpeq_epi8(block, tab)));
        if (end - i < 16)
            tabs &= (1u << (end - i)) - 1;
        for (; tabs != 0 && fieldCount <= 4; tabs &= tabs - 1)
            tabAt(i + std::countr_zero(tabs));
    }
    i = std::min(i, end);
#endif
    for (; i < end && fieldCount <= 4; ++i) {
        if (data[i] == '\t')
            tabAt(i);
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
            line.badText = QByteArrayView(fieldBegin[f], fieldEnd[f]);
            return line;
        }
        *values[f] = *value;
        const bool inRange = *value >= 0 && (f != 1 || (*value >= 1 && *value <= MaxBook));
        if (!inRange) {
            line.problem = OutOfRange;
            line.badField = f + 1;
            line.badText = QByteArrayView(fieldBegin[f], fieldEnd[f]);
            return line;
        }
    }
    if (!line.text)
        line.text = data + end; // four fields: an empty text
    return line;
}

void ModuleLines::skipToLineOf(qsizetype offset)
{
    offset = std::min(offset, m_bytes.size());
    if (offset <= m_pos)
        return;
    const char *data = m_bytes.constData();
    const auto *lf = static_cast<const char *>(memrchr(data + m_pos, '\n', size_t(offset - m_pos)));
    if (lf)
        m_pos = lf - data + 1;
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
            .arg(QLatin1String(FieldNames[line.badField - 1]),
                 QString::fromLatin1(line.badText.data(), line.badText.size()));
    case OutOfRange:
        return QStringLiteral("the %1 '%2' is out of range")
            .arg(QLatin1String(FieldNames[line.badField - 1]),
                 QString::fromLatin1(line.badText.data(), line.badText.size()));
    case WellFormed:
        break;
    }
    return QString();
}

QString ModuleLines::decodeText(const Line &line, int codePage)
{
    return CodePage::decode(line.text, line.textSize, codePage == 0 ? CodePage::SystemAnsi : codePage);
}

qsizetype ModuleLines::maxTextLength(const Line &line, int codePage)
{
    return CodePage::maxDecodedLength(line.textSize, codePage == 0 ? CodePage::SystemAnsi : codePage);
}

qsizetype ModuleLines::writeText(const Line &line, int codePage, QChar *out)
{
    return CodePage::decodeInto(line.text, line.textSize, codePage == 0 ? CodePage::SystemAnsi : codePage,
                                out);
}
