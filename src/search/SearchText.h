#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

// How search texts and verse texts compare: the typewriter quotes stand for the
// typographic ones (' for ’ and ‘, " for “ and ”), which a reader cannot type;
// ignoring case upper-cases one character for one, without folding diacritics.
namespace SearchText {
constexpr int MaxTerms = 30;

inline QChar FoldQuote(QChar c)
{
    switch (c.unicode()) {
    case 0x2018:
    case 0x2019:
        return QLatin1Char('\'');
    case 0x201C:
    case 0x201D:
        return QLatin1Char('"');
    default:
        return c;
    }
}

inline QChar Fold(QChar c, bool ignoreCase)
{
    const char16_t u = c.unicode();
    if (u < 0x80)
        return ignoreCase && u >= 'a' && u <= 'z' ? QChar(char16_t(u - 32)) : c;
    const QChar q = FoldQuote(c);
    return ignoreCase ? q.toUpper() : q;
}

// Fold of every UTF-16 unit, worked out once: table[u] == Fold(QChar(u), ignoreCase).
// Scanning through it costs one load per character and no branches.
const char16_t *FoldTable(bool ignoreCase);

// Every UTF-16 unit that folds to the given one, the unit itself first when
// it folds to itself: the forms a folded character may have in a verse.
QList<char16_t> FoldsTo(char16_t folded, bool ignoreCase);

// The text with every character folded; the length stays the same, so positions
// in the folded text are positions in the original.
QString Fold(QStringView text, bool ignoreCase);
void FoldInto(QStringView text, bool ignoreCase, QString &out);

// Whether the text holds the term when folded; the term is folded already.
// Nothing is copied, so that testing every verse costs no allocation.
bool ContainsFolded(QStringView text, QStringView foldedTerm, bool ignoreCase);
// Where the folded term first occurs in the text from `from`, or -1.
qsizetype IndexOfFolded(QStringView text, QStringView foldedTerm, qsizetype from, bool ignoreCase);

// The terms of a search text: one star at each end is dropped, and the stars in
// between separate the terms; a star right after a star begins the next term
// (so "a**b" gives "a", "*b" and an empty term). An empty text or "*" gives none.
QStringList ParseSearchStrings(const QString &searchText);
} // namespace SearchText
