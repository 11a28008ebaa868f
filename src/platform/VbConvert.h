#pragma once

#include <QString>
#include <optional>

// Conversions between text and numbers with the runtime's rules: numbers are read
// with "." as the decimal point, "&H"/"&O" prefixes are hexadecimal and octal, and
// conversions to whole numbers round halves to even.
namespace VbConvert {
// The number a whole text stands for (blanks around it allowed), or nullopt.
std::optional<double> toNumber(const QString &text);
std::optional<qint16> toInt16(const QString &text);
std::optional<qint32> toInt32(const QString &text);
std::optional<quint8> toByte(const QString &text);
std::optional<float> toSingle(const QString &text);
std::optional<double> toDouble(const QString &text);
// "True"/"False" in any case, or a number (0 is False).
std::optional<bool> toBoolean(const QString &text);

// The leading number of a text, 0 when it has none (blanks and Tabs are skipped).
double val(const QString &text);

QString fromBoolean(bool value);
// The shortest text that reads back as the same number.
QString fromSingle(float value);
QString fromDouble(double value);
} // namespace VbConvert
