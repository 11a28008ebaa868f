#include "platform/VbConvert.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {
// The value of an ASCII digit or hexadecimal letter, -1 for anything else.
int asciiDigitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// Parses a number at the start of text; returns the characters used (0 when none).
qsizetype parseLeading(const QString &text, qsizetype pos, double *out, bool allowSpaces)
{
    const qsizetype start = pos;
    auto skipSpaces = [&] {
        if (!allowSpaces)
            return;
        while (pos < text.size() && (text[pos] == QLatin1Char(' ') || text[pos] == QLatin1Char('\t')))
            ++pos;
    };
    skipSpaces();
    if (pos + 1 < text.size() && text[pos] == QLatin1Char('&')) {
        const QChar kind = text[pos + 1].toUpper();
        const int base = kind == QLatin1Char('H') ? 16 : kind == QLatin1Char('O') ? 8 : 0;
        if (base) {
            qsizetype p = pos + 2;
            quint64 value = 0;
            qsizetype digits = 0;
            while (p < text.size()) {
                const int d = asciiDigitValue(text[p]);
                if (d < 0 || d >= base)
                    break;
                value = value * base + quint64(d);
                ++digits;
                ++p;
                if (value > 0xFFFFFFFFull)
                    return 0;
            }
            if (!digits)
                return 0;
            // "&H" values of up to 4 digits are 16-bit, longer ones 32-bit, both signed.
            if (digits <= 4 && value > 0x7FFF)
                *out = double(qint16(quint16(value)));
            else if (value > 0x7FFFFFFF)
                *out = double(qint32(quint32(value)));
            else
                *out = double(value);
            return p - start;
        }
    }
    QByteArray ascii;
    qsizetype p = pos;
    if (p < text.size() && (text[p] == QLatin1Char('+') || text[p] == QLatin1Char('-')))
        ascii += char(text[p++].unicode());
    qsizetype mantissaDigits = 0;
    while (p < text.size() && text[p].isDigit() && text[p].unicode() < 128) {
        ascii += char(text[p++].unicode());
        ++mantissaDigits;
    }
    if (p < text.size() && text[p] == QLatin1Char('.')) {
        ascii += '.';
        ++p;
        while (p < text.size() && text[p].isDigit() && text[p].unicode() < 128) {
            ascii += char(text[p++].unicode());
            ++mantissaDigits;
        }
    }
    if (!mantissaDigits)
        return 0;
    if (p < text.size() && (text[p] == QLatin1Char('e') || text[p] == QLatin1Char('E') ||
                            text[p] == QLatin1Char('d') || text[p] == QLatin1Char('D'))) {
        qsizetype q = p + 1;
        QByteArray exponent = "e";
        if (q < text.size() && (text[q] == QLatin1Char('+') || text[q] == QLatin1Char('-')))
            exponent += char(text[q++].unicode());
        qsizetype expDigits = 0;
        while (q < text.size() && text[q].isDigit() && text[q].unicode() < 128) {
            exponent += char(text[q++].unicode());
            ++expDigits;
        }
        if (expDigits) {
            ascii += exponent;
            p = q;
        }
    }
    const char *begin = ascii.constData();
    if (*begin == '+')
        ++begin;
    double value = 0;
    auto res = std::from_chars(begin, ascii.constData() + ascii.size(), value);
    if (res.ec != std::errc())
        return 0;
    *out = value;
    return p - start;
}

template <typename T> std::optional<T> toWhole(const QString &text)
{
    const std::optional<double> number = VbConvert::toNumber(text);
    if (!number)
        return std::nullopt;
    const double rounded = std::nearbyint(*number);
    if (rounded < double(std::numeric_limits<T>::min()) || rounded > double(std::numeric_limits<T>::max()))
        return std::nullopt;
    return T(rounded);
}

template <typename T> QString shortest(T value)
{
    char buf[64];
    auto res = std::to_chars(buf, buf + sizeof buf, value);
    return QString::fromLatin1(buf, res.ptr - buf);
}
} // namespace

namespace VbConvert {

std::optional<double> toNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    double value = 0;
    const qsizetype used = parseLeading(trimmed, 0, &value, false);
    if (used != trimmed.size() || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<qint16> toInt16(const QString &text)
{
    return toWhole<qint16>(text);
}
std::optional<qint32> toInt32(const QString &text)
{
    return toWhole<qint32>(text);
}
std::optional<quint8> toByte(const QString &text)
{
    return toWhole<quint8>(text);
}

std::optional<float> toSingle(const QString &text)
{
    const std::optional<double> number = toNumber(text);
    // Up to half a unit in the last place above the largest Single still rounds to it;
    // the shortest text of the largest Single ("3.4028235e+38") lies there.
    const double limit = double(std::numeric_limits<float>::max()) + std::ldexp(1.0, 103);
    if (!number || std::fabs(*number) >= limit)
        return std::nullopt;
    return float(*number);
}

std::optional<double> toDouble(const QString &text)
{
    return toNumber(text);
}

std::optional<bool> toBoolean(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    if (const std::optional<double> number = toNumber(trimmed))
        return *number != 0.0;
    return std::nullopt;
}

double val(const QString &text)
{
    double value = 0;
    // Val ignores blanks inside the number too ("1 2" is 12); the leading part is enough here.
    if (parseLeading(text, 0, &value, true) == 0)
        return 0;
    return value;
}

QString fromBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString fromSingle(float value)
{
    return shortest(value);
}
QString fromDouble(double value)
{
    return shortest(value);
}

} // namespace VbConvert
