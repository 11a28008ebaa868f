#include "search/ByteNeedle.h"
#include "platform/CodePage.h"
#include "search/SearchText.h"

#include <algorithm>
#include <bit>
#include <cstring>
#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace {
using ByteSet = std::array<quint64, 4>;

void addByte(ByteSet &set, uchar byte)
{
    set[byte >> 6] |= quint64(1) << (byte & 63);
}

bool hasByte(const ByteSet &set, uchar byte)
{
    return (set[byte >> 6] >> (byte & 63)) & 1;
}

int byteCount(const ByteSet &set)
{
    int count = 0;
    for (const quint64 word : set)
        count += std::popcount(word);
    return count;
}

bool matchesAt(const std::vector<ByteSet> &sets, const uchar *at)
{
    for (size_t k = 0; k < sets.size(); ++k) {
        if (!hasByte(sets[k], at[k]))
            return false;
    }
    return true;
}

// The sets of the bytes of one character's forms, or none when the forms
// differ in length.
std::vector<ByteSet> formSets(const QList<QByteArray> &forms)
{
    std::vector<ByteSet> sets(size_t(forms.front().size()));
    for (const QByteArray &form : forms) {
        if (form.size() != forms.front().size())
            return {};
        for (qsizetype k = 0; k < form.size(); ++k)
            addByte(sets[size_t(k)], uchar(form[k]));
    }
    return sets;
}
} // namespace

ByteNeedle::ByteNeedle(QStringView foldedTerm, bool ignoreCase, int codePage)
{
    if (const std::array<char16_t, 256> *table = CodePage::singleByteTable(codePage))
        BuildSingleByte(foldedTerm, ignoreCase, *table);
    else if (codePage == CodePage::Utf8)
        BuildUtf8(foldedTerm, ignoreCase);
    ChooseProbes();
}

// One byte per character: the whole term is the needle, and it is exact.
void ByteNeedle::BuildSingleByte(QStringView foldedTerm, bool ignoreCase,
                                 const std::array<char16_t, 256> &table)
{
    const char16_t *fold = SearchText::FoldTable(ignoreCase);
    m_exact = true;
    for (const QChar c : foldedTerm) {
        ByteSet set{};
        for (int byte = 0; byte < 256; ++byte) {
            if (fold[table[size_t(byte)]] == c.unicode())
                addByte(set, uchar(byte));
        }
        if (byteCount(set) == 0) {
            m_never = true;
            m_sets.clear();
            return;
        }
        m_sets.push_back(set);
    }
}

// A character whose forms differ in length (dotless i and I), a half of a
// surrogate pair, or the replacement character (which stands for bytes that
// are no UTF-8 too) ends a run.
void ByteNeedle::BuildUtf8(QStringView foldedTerm, bool ignoreCase)
{
    std::vector<ByteSet> run;
    const auto endRun = [&] {
        if (run.size() > m_sets.size())
            m_sets = run;
        run.clear();
    };
    for (qsizetype i = 0; i < foldedTerm.size(); ++i) {
        const QChar c = foldedTerm[i];
        QList<QByteArray> forms;
        if (c.isHighSurrogate() && i + 1 < foldedTerm.size() && foldedTerm[i + 1].isLowSurrogate()) {
            forms.append(foldedTerm.mid(i++, 2).toUtf8());
        } else if (!c.isSurrogate() && c != QChar::ReplacementCharacter) {
            for (const char16_t form : SearchText::FoldsTo(c.unicode(), ignoreCase))
                forms.append(QStringView(&form, 1).toUtf8());
        }
        const std::vector<ByteSet> sets = forms.isEmpty() ? std::vector<ByteSet>() : formSets(forms);
        if (sets.empty())
            endRun();
        run.insert(run.end(), sets.cbegin(), sets.cend());
    }
    endRun();
}

// The first and the last place with at most three bytes.
void ByteNeedle::ChooseProbes()
{
    for (size_t k = 0; k < m_sets.size(); ++k) {
        const int count = byteCount(m_sets[k]);
        if (count > int(Probe{}.values.size()))
            continue;
        Probe probe{qsizetype(k), 0, {}, false};
        for (int byte = 0; byte < 256; ++byte) {
            if (hasByte(m_sets[k], uchar(byte)))
                probe.values[size_t(probe.count++)] = uchar(byte);
        }
        const uchar apart = uchar(probe.values[0] ^ probe.values[1]);
        probe.oneBitApart = probe.count == 2 && (apart & (apart - 1)) == 0;
        if (m_probes.size() == 2)
            m_probes.back() = probe;
        else
            m_probes.push_back(probe);
    }
}

#if defined(__SSE2__)
namespace {
// Sixteen or thirty-two bytes as one vector; the same code works on both, and
// is compiled for AVX2 where it is inlined into a function for AVX2.
using Bytes16 = uchar __attribute__((vector_size(16)));
using Bytes32 = uchar __attribute__((vector_size(32)));

// Vectors go by reference between these: passed by value, those of thirty-two
// bytes would be passed in two ways, with AVX and without.
template <typename V> [[gnu::always_inline]] inline void load(const char *at, V &v)
{
    std::memcpy(&v, at, sizeof v);
}

// Bit k set for each byte k that is not 0.
template <typename V> [[gnu::always_inline]] inline unsigned maskOf(const V &v)
{
    unsigned mask = 0;
    for (size_t half = 0; half < sizeof v / 16; ++half) {
        __m128i part;
        std::memcpy(&part, reinterpret_cast<const char *>(&v) + 16 * half, 16);
        mask |= unsigned(_mm_movemask_epi8(part)) << (16 * half);
    }
    return mask;
}

// The places of a vector of bytes that hold one of the probe's bytes, as 0xFF.
template <typename V> struct ProbeTest
{
    V values[3];
    V bit;
    int count = 0;

    [[gnu::always_inline]] explicit ProbeTest(const ByteNeedle::Probe &probe)
        : count(probe.count)
    {
        // Two bytes one bit apart (a letter in two cases) take one comparison.
        const uchar apart = probe.oneBitApart ? uchar(probe.values[0] ^ probe.values[1]) : 0;
        bit = V{} + apart;
        for (size_t k = 0; k < std::size(values); ++k)
            values[k] = V{} + uchar(probe.values[std::min<size_t>(k, size_t(count - 1))] | apart);
        if (probe.oneBitApart)
            count = -1;
    }

    [[gnu::always_inline]] void test(const char *at, V &found) const
    {
        V v;
        load(at, v);
        if (count == -1) {
            found = V((v | bit) == values[0]);
            return;
        }
        found = V(v == values[0]);
        for (int k = 1; k < count; ++k)
            found |= V(v == values[k]);
    }
};

// The bytes from *i on, as far as whole vectors reach: the first place where
// both probes and then the whole needle match, -1 when the places left lie
// past `last`, or NotFoundYet with *i where the vectors end.
constexpr qsizetype NotFoundYet = -2;

template <typename V>
[[gnu::always_inline]] inline qsizetype findFrom(const std::vector<ByteSet> &sets, const ByteNeedle::Probe &a,
                                                 const ByteNeedle::Probe &b, const char *bytes,
                                                 qsizetype size, qsizetype last, qsizetype *i)
{
    const ProbeTest<V> testA(a);
    const ProbeTest<V> testB(b);
    constexpr auto width = qsizetype(sizeof(V));
    const qsizetype reach = std::max(a.offset, b.offset) + width;
    V foundA;
    V foundB;
    for (; *i <= last && *i + reach <= size; *i += width) {
        testA.test(bytes + *i + a.offset, foundA);
        testB.test(bytes + *i + b.offset, foundB);
        foundA &= foundB;
        for (unsigned mask = maskOf(foundA); mask != 0; mask &= mask - 1) {
            const qsizetype at = *i + std::countr_zero(mask);
            if (at > last)
                return -1;
            if (matchesAt(sets, reinterpret_cast<const uchar *>(bytes) + at))
                return at;
        }
    }
    return NotFoundYet;
}

qsizetype findNarrow(const std::vector<ByteSet> &sets, const ByteNeedle::Probe &a, const ByteNeedle::Probe &b,
                     const char *bytes, qsizetype size, qsizetype last, qsizetype *i)
{
    return findFrom<Bytes16>(sets, a, b, bytes, size, last, i);
}

__attribute__((target("avx2"))) qsizetype findWide(const std::vector<ByteSet> &sets,
                                                   const ByteNeedle::Probe &a, const ByteNeedle::Probe &b,
                                                   const char *bytes, qsizetype size, qsizetype last,
                                                   qsizetype *i)
{
    return findFrom<Bytes32>(sets, a, b, bytes, size, last, i);
}
} // namespace
#endif

qsizetype ByteNeedle::IndexIn(const char *bytes, qsizetype size, qsizetype from) const
{
    from = std::max<qsizetype>(from, 0);
    if (m_never)
        return -1;
    if (m_sets.empty())
        return from <= size ? from : -1;
    const qsizetype last = size - Length();
    qsizetype i = from;
#if defined(__SSE2__)
    if (!m_probes.empty()) {
        static const bool wide = __builtin_cpu_supports("avx2");
        const Probe &a = m_probes.front();
        const Probe &b = m_probes.back();
        qsizetype found = wide ? findWide(m_sets, a, b, bytes, size, last, &i) : NotFoundYet;
        if (found == NotFoundYet)
            found = findNarrow(m_sets, a, b, bytes, size, last, &i);
        if (found != NotFoundYet)
            return found;
    }
#endif
    for (; i <= last; ++i) {
        if (matchesAt(m_sets, reinterpret_cast<const uchar *>(bytes) + i))
            return i;
    }
    return -1;
}
