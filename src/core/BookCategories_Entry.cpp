#include "core/BookCategories_Entry.h"
#include "core/Bug_.h"
#include "core/StringHelpers_.h"
#include "platform/VbConvert.h"

namespace {
const QString CRLF = QStringLiteral("\r\n");

// The leading digits of a text as a number, 0 when there are none.
qint32 numberValue(const QString &text)
{
    const double value = VbConvert::val(text);
    if (value > 2147483647.0 || value < -2147483648.0)
        return 0;
    return qint32(value);
}
} // namespace

QString BookCategories_Entry::RangeErrorText(const QString &path, const QString &line, const QString &range)
{
    return CRLF + QStringLiteral("File='") + path + QLatin1Char('\'') + CRLF + QStringLiteral("line='") +
           line + QLatin1Char('\'') + CRLF + QStringLiteral("range='") + range + QLatin1Char('\'');
}

bool BookCategories_Entry::IncludeBook(int ibook) const
{
    if (ibook < 1) {
        AssertFailed(QStringLiteral("IncludeBook(ibook): ibook < 1, ibook=") + QString::number(ibook));
        return false;
    }
    if (ibook > BookCount) {
        AssertFailed(QStringLiteral("IncludeBook(ibook): ibook > %1, ibook=%2").arg(BookCount).arg(ibook));
        return false;
    }
    return m_books[size_t(ibook - 1)];
}

void BookCategories_Entry::Initialize(const QString &path, const QString &line)
{
    const QStringList fields = SplitAndClean(line, QStringLiteral(","));
    if (fields.size() < 3) {
        AssertFailed(QStringLiteral("Invalid line (too few fields).") +
                     RangeErrorText(path, line, QString()));
        return;
    }
    CategoryID = numberValue(fields[0]);
    ParentCategoryID = numberValue(fields[1]);
    ParseRanges(fields[2], path, line);
}

void BookCategories_Entry::ParseRanges(const QString &ranges, const QString &path, const QString &line)
{
    for (const QString &item : SplitAndClean(ranges, QStringLiteral(";"))) {
        const QStringList parts = SplitAndClean(item, QStringLiteral("-"));
        if (parts.size() == 1 && !item.isEmpty())
            CheckRange(numberValue(parts[0]), numberValue(parts[0]), ranges, path, line);
        else if (parts.size() == 2)
            CheckRange(numberValue(parts[0]), numberValue(parts[1]), ranges, path, line);
        else
            AssertFailed(QStringLiteral("Invalid range expression (too many '-').") +
                         RangeErrorText(path, line, ranges));
    }
}

bool BookCategories_Entry::CheckRange(qint32 first, qint32 last, const QString &ranges, const QString &path,
                                      const QString &line)
{
    QString problem;
    if (first <= 0)
        problem = QStringLiteral("Invalid range expression (Start of range is <= 0).");
    else if (first > BookCount)
        problem = QStringLiteral("Invalid range expression (Start of range is > %1).").arg(BookCount);
    else if (last < first)
        problem = QStringLiteral("Invalid range expression (End of range is < Start of range).");
    else if (last > BookCount)
        problem = QStringLiteral("Invalid range expression (End of range is > %1).").arg(BookCount);
    if (!problem.isEmpty()) {
        AssertFailed(problem + RangeErrorText(path, line, ranges));
        return false;
    }
    for (qint32 b = first; b <= last; ++b)
        m_books[size_t(b - 1)] = true;
    return true;
}
