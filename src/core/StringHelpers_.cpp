#include "core/StringHelpers_.h"
#include "platform/RuntimeError.h"
#include "platform/VbText.h"

namespace StringHelpers_ {

QString RemoveCharAt(const QString &text, int position)
{
    if (position < 1 || position > text.size())
        raiseError(RtErr::InvalidProcedureCall, QStringLiteral("Verbanox.StringHelpers_.RemoveCharAt"));
    QString out = text;
    out.remove(position - 1, 1);
    return out;
}

bool StringContains(const QString &text, const QString &part)
{
    return text.contains(part, Qt::CaseSensitive);
}

QStringList Split(const QString &text, const QString &delimiter, int limit)
{
    if (text.isEmpty() || limit == 0)
        return {};
    if (delimiter.isEmpty())
        return {text};
    QStringList pieces;
    qsizetype start = 0;
    while (limit < 0 || pieces.size() < limit - 1) {
        const qsizetype at = text.indexOf(delimiter, start);
        if (at < 0)
            break;
        pieces.append(text.mid(start, at - start));
        start = at + delimiter.size();
    }
    pieces.append(text.mid(start));
    return pieces;
}

QStringList SplitAndClean(const QString &text, const QString &delimiter, int limit)
{
    QStringList pieces = Split(text, delimiter, limit);
    for (QString &piece : pieces)
        piece = CleanToken(piece);
    return pieces;
}

QString CleanToken(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\t'), QLatin1Char(' '));
    return VbText::Trim(out);
}

} // namespace StringHelpers_
