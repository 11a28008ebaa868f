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

namespace {
template <bool IgnoreCase> qsizetype indexOfFolded(QStringView text, QStringView term, qsizetype from)
{
    const qsizetype last = text.size() - term.size();
    if (term.isEmpty())
        return from <= text.size() ? from : -1;
    const QChar first = term[0];
    const QChar *chars = text.data();
    for (qsizetype i = from; i <= last; ++i) {
        if (SearchText::Fold(chars[i], IgnoreCase) != first)
            continue;
        qsizetype k = 1;
        while (k < term.size() && SearchText::Fold(chars[i + k], IgnoreCase) == term[k])
            ++k;
        if (k == term.size())
            return i;
    }
    return -1;
}
} // namespace

qsizetype SearchText::IndexOfFolded(QStringView text, QStringView foldedTerm, qsizetype from, bool ignoreCase)
{
    if (from < 0)
        from = 0;
    return ignoreCase ? indexOfFolded<true>(text, foldedTerm, from)
                      : indexOfFolded<false>(text, foldedTerm, from);
}

bool SearchText::ContainsFolded(QStringView text, QStringView foldedTerm, bool ignoreCase)
{
    return IndexOfFolded(text, foldedTerm, 0, ignoreCase) >= 0;
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
