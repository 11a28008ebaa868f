#include "search/SearchText.h"

void SearchText::FoldInto(QStringView text, bool ignoreCase, QString &out)
{
    out.resize(text.size());
    QChar *to = out.data();
    for (QChar c : text)
        *to++ = Fold(c, ignoreCase);
}

QString SearchText::Fold(QStringView text, bool ignoreCase)
{
    QString out;
    FoldInto(text, ignoreCase, out);
    return out;
}

QStringList SearchText::ParseSearchStrings(const QString &searchText)
{
    const QChar star = QLatin1Char('*');
    QStringView t = searchText;
    if (t.startsWith(star))
        t = t.mid(1);
    if (t.endsWith(star))
        t.chop(1);
    if (t.isEmpty())
        return {};
    // Every star counts for a term, also a star that the walk below takes as a
    // character: "a**b" has three terms, the last of them empty.
    QStringList terms(t.count(star) + 1);
    qsizetype k = 0;
    for (qsizetype i = 0; i < t.size(); ++i) {
        if (t[i] == star) {
            ++k;
            // The character after a star is taken as it stands, even a star.
            if (++i >= t.size())
                break;
        }
        terms[k].append(t[i]);
    }
    return terms;
}
