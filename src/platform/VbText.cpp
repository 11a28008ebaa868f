#include "platform/VbText.h"

namespace VbText {

QString LTrim(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    return text.mid(i);
}

QString RTrim(const QString &text)
{
    qsizetype n = text.size();
    while (n > 0 && text[n - 1] == QLatin1Char(' '))
        --n;
    return text.left(n);
}

QString Trim(const QString &text)
{
    return LTrim(RTrim(text));
}

} // namespace VbText
