#include "search/SearchText.h"

#include <algorithm>
#include <array>
#include <bit>
#include <memory>
#include <utility>
#include <vector>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
using Table = std::array<char16_t, 0x10000>;

std::unique_ptr<Table> makeTable(bool ignoreCase)
{
    auto table = std::make_unique<Table>();
    for (size_t u = 0; u < table->size(); ++u)
        (*table)[u] = SearchText::Fold(QChar(char16_t(u)), ignoreCase).unicode();
    return table;
}
} // namespace

const char16_t *SearchText::FoldTable(bool ignoreCase)
{
    if (ignoreCase) {
        static const std::unique_ptr<Table> upper = makeTable(true);
        return upper->data();
    }
    static const std::unique_ptr<Table> keepCase = makeTable(false);
    return keepCase->data();
}

namespace {
// The units that do not fold to themselves, by what they fold to.
using Sources = std::vector<std::pair<char16_t, char16_t>>;

Sources makeSources(bool ignoreCase)
{
    const char16_t *fold = SearchText::FoldTable(ignoreCase);
    Sources sources;
    for (size_t u = 0; u < 0x10000; ++u) {
        if (fold[u] != u)
            sources.emplace_back(fold[u], char16_t(u));
    }
    std::sort(sources.begin(), sources.end());
    return sources;
}
} // namespace

QList<char16_t> SearchText::FoldsTo(char16_t folded, bool ignoreCase)
{
    static const Sources upper = makeSources(true);
    static const Sources keepCase = makeSources(false);
    const Sources &sources = ignoreCase ? upper : keepCase;
    QList<char16_t> forms;
    if (FoldTable(ignoreCase)[folded] == folded)
        forms.append(folded);
    auto it = std::lower_bound(sources.cbegin(), sources.cend(), std::pair{folded, char16_t(0)});
    for (; it != sources.cend() && it->first == folded; ++it)
        forms.append(it->second);
    return forms;
}

void SearchText::FoldInto(QStringView text, bool ignoreCase, QString &out)
{
    out.resize(text.size());
    const char16_t *fold = FoldTable(ignoreCase);
    const char16_t *from = text.utf16();
    char16_t *to = reinterpret_cast<char16_t *>(out.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        to[i] = fold[from[i]];
}

QString SearchText::Fold(QStringView text, bool ignoreCase)
{
    QString out;
    FoldInto(text, ignoreCase, out);
    return out;
}

namespace {
bool matchesAt(const char16_t *chars, const char16_t *term, qsizetype length, const char16_t *fold)
{
    qsizetype k = 0;
    while (k < length && fold[chars[k]] == term[k])
        ++k;
    return k == length;
}
} // namespace

qsizetype SearchText::IndexOfFolded(QStringView text, QStringView foldedTerm, qsizetype from, bool ignoreCase)
{
    if (from < 0)
        from = 0;
    const qsizetype length = foldedTerm.size();
    if (length == 0)
        return from <= text.size() ? from : -1;
    const char16_t *fold = FoldTable(ignoreCase);
    const char16_t *chars = text.utf16();
    const char16_t *term = foldedTerm.utf16();
    const qsizetype last = text.size() - length;
    qsizetype i = from;
#if defined(__SSE2__)
    // Eight places at a time, passing over those that cannot begin a hit: an
    // ASCII character folds to a term character only if it is that character or,
    // ignoring case, its lower-case form; every other character is looked up.
    // The first two term characters are checked so (the first twice for one).
    const auto forms = [ignoreCase](char16_t c) {
        const char16_t other = ignoreCase && c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c;
        return std::pair{_mm_set1_epi16(short(c)), _mm_set1_epi16(short(other))};
    };
    const auto [first, firstOther] = forms(term[0]);
    const auto [second, secondOther] = forms(term[length > 1 ? 1 : 0]);
    const qsizetype secondOffset = length > 1 ? 1 : 0;
    const __m128i notAscii = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const auto candidates = [&](const char16_t *at, __m128i c, __m128i other) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i ascii = _mm_cmpeq_epi16(_mm_and_si128(v, notAscii), zero);
        const __m128i same = _mm_or_si128(_mm_cmpeq_epi16(v, c), _mm_cmpeq_epi16(v, other));
        return _mm_or_si128(same, _mm_xor_si128(ascii, _mm_cmpeq_epi16(zero, zero)));
    };
    for (; i <= last && i + 8 + secondOffset <= text.size(); i += 8) {
        const __m128i both = _mm_and_si128(candidates(chars + i, first, firstOther),
                                           candidates(chars + i + secondOffset, second, secondOther));
        unsigned mask = unsigned(_mm_movemask_epi8(both));
        while (mask != 0) {
            const qsizetype at = i + qsizetype(std::countr_zero(mask) / 2);
            mask &= mask - 1;
            mask &= mask - 1; // both bytes of the character
            if (at > last)
                return -1;
            if (matchesAt(chars + at, term, length, fold))
                return at;
        }
    }
#endif
    for (; i <= last; ++i) {
        if (matchesAt(chars + i, term, length, fold))
            return i;
    }
    return -1;
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
