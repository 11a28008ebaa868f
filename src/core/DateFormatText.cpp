#include "core/DateFormatText.h"

#include <QLocale>

namespace {

// Qt reads "''" as a quote both inside and outside quoted text, except right after
// an opening quote; leading quotes are therefore written outside.
QString quoted(const QString &text)
{
    qsizetype leading = 0;
    while (leading < text.size() && text.at(leading) == QLatin1Char('\''))
        ++leading;
    QString result = QString(QLatin1String("''")).repeated(leading);
    QString rest = text.mid(leading);
    if (rest.isEmpty())
        return result;
    rest.replace(QLatin1Char('\''), QLatin1String("''"));
    return result + QLatin1Char('\'') + rest + QLatin1Char('\'');
}

// How many times the letter (ignoring case) repeats from position i.
qsizetype runLength(const QString &format, qsizetype i)
{
    const QChar letter = format.at(i).toLower();
    qsizetype n = 0;
    while (i + n < format.size() && format.at(i + n).toLower() == letter)
        ++n;
    return n;
}

bool startsWithAt(const QString &format, qsizetype i, QLatin1String what)
{
    return format.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

int sundayBasedWeekday(const QDate &date)
{
    return date.dayOfWeek() % 7 + 1; // Sunday 1 .. Saturday 7
}

int weekOfYear(const QDate &date)
{
    const QDate first(date.year(), 1, 1);
    return (date.dayOfYear() - 1 + sundayBasedWeekday(first) - 1) / 7 + 1;
}

QString timeWithSeconds(const QLocale &locale)
{
    QString format = locale.timeFormat(QLocale::LongFormat);
    format.remove(QLatin1Char('t'));
    return format.trimmed();
}

// Whether an "m" run at position i means minutes: right after an hour, or right
// before seconds, with only separators between.
bool meansMinutes(const QString &format, qsizetype i, qsizetype length)
{
    for (qsizetype j = i - 1; j >= 0; --j) {
        const QChar c = format.at(j).toLower();
        if (c == QLatin1Char('h'))
            return true;
        if (c.isLetterOrNumber() || c == QLatin1Char('"'))
            break;
    }
    for (qsizetype j = i + length; j < format.size(); ++j) {
        const QChar c = format.at(j).toLower();
        if (c == QLatin1Char('s'))
            return true;
        if (c.isLetterOrNumber() || c == QLatin1Char('"'))
            break;
    }
    return false;
}

} // namespace

namespace DateFormatText {

QString ToQtFormat(const QString &runtimeFormat, const QDateTime &when)
{
    const QLocale locale;
    const QDate date = when.date();
    const QTime time = when.time();
    const bool twelveHour = runtimeFormat.contains(QLatin1String("am/pm"), Qt::CaseInsensitive) ||
                            runtimeFormat.contains(QLatin1String("a/p"), Qt::CaseInsensitive) ||
                            runtimeFormat.contains(QLatin1String("ampm"), Qt::CaseInsensitive);
    // Literal text is collected and quoted as one piece: two quoted pieces side by
    // side would read as one piece holding a quote.
    QString out;
    QString literal;
    const auto code = [&](const QString &qtLetters) {
        out += quoted(literal) + qtLetters;
        literal.clear();
    };
    qsizetype i = 0;
    while (i < runtimeFormat.size()) {
        const QChar c = runtimeFormat.at(i);
        const QChar lower = c.toLower();
        if (c == QLatin1Char('"')) {
            const qsizetype end = runtimeFormat.indexOf(QLatin1Char('"'), i + 1);
            const qsizetype stop = end < 0 ? runtimeFormat.size() : end;
            literal += runtimeFormat.mid(i + 1, stop - i - 1);
            i = stop + 1;
            continue;
        }
        if (c == QLatin1Char('\\')) {
            literal += runtimeFormat.mid(i + 1, 1);
            i += 2;
            continue;
        }
        if (startsWithAt(runtimeFormat, i, QLatin1String("am/pm"))) {
            code(runtimeFormat.at(i).isUpper() ? QLatin1String("AP") : QLatin1String("ap"));
            i += 5;
            continue;
        }
        if (startsWithAt(runtimeFormat, i, QLatin1String("a/p"))) {
            const bool am = time.hour() < 12;
            QString letter = am ? QStringLiteral("A") : QStringLiteral("P");
            if (runtimeFormat.at(i + (am ? 0 : 2)).isLower())
                letter = letter.toLower();
            literal += letter;
            i += 3;
            continue;
        }
        if (startsWithAt(runtimeFormat, i, QLatin1String("ampm"))) {
            code(QLatin1String("AP"));
            i += 4;
            continue;
        }
        if (!c.isLetter()) {
            literal += c;
            ++i;
            continue;
        }
        const qsizetype n = runLength(runtimeFormat, i);
        switch (lower.unicode()) {
        case 'd':
            if (n >= 6)
                code(locale.dateFormat(QLocale::LongFormat));
            else if (n == 5)
                code(locale.dateFormat(QLocale::ShortFormat));
            else
                code(QString(n, QLatin1Char('d')));
            break;
        case 'm':
            if (n <= 2 && meansMinutes(runtimeFormat, i, n))
                code(QString(n, QLatin1Char('m')));
            else
                code(QString(std::min<qsizetype>(n, 4), QLatin1Char('M')));
            break;
        case 'n':
            code(QString(std::min<qsizetype>(n, 2), QLatin1Char('m')));
            break;
        case 'y':
            if (n >= 3)
                code(QStringLiteral("yyyy"));
            else if (n == 2)
                code(QStringLiteral("yy"));
            else
                literal += QString::number(date.dayOfYear());
            break;
        case 'h':
            if (twelveHour) {
                // Qt counts twelve hours only next to its own AM/PM letters.
                const int hour = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
                literal += QStringLiteral("%1").arg(hour, n >= 2 ? 2 : 1, 10, QLatin1Char('0'));
            } else {
                code(QString(std::min<qsizetype>(n, 2), QLatin1Char('H')));
            }
            break;
        case 's':
            code(QString(std::min<qsizetype>(n, 2), QLatin1Char('s')));
            break;
        case 'w':
            literal += QString::number(n >= 2 ? weekOfYear(date) : sundayBasedWeekday(date));
            break;
        case 'q':
            literal += QString::number((date.month() - 1) / 3 + 1);
            break;
        case 't':
            if (n >= 5) {
                code(timeWithSeconds(locale));
                break;
            }
            literal += runtimeFormat.mid(i, n);
            break;
        case 'c':
            code(locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') + timeWithSeconds(locale));
            break;
        default:
            literal += runtimeFormat.mid(i, n);
            break;
        }
        i += n;
    }
    code(QString());
    return out;
}

QString Format(const QDateTime &when, const QString &runtimeFormat)
{
    return QLocale().toString(when, ToQtFormat(runtimeFormat, when));
}

} // namespace DateFormatText
