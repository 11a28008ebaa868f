#include "search/ByteNeedle.h"
#include "platform/CodePage.h"
#include "search/SearchText.h"

#include <algorithm>
#include <bit>
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
// The places of sixteen bytes that hold one of the probe's bytes, as 0xFF.
struct ProbeTest
{
    __m128i values[3];
    __m128i bit;
    int count = 0;

    explicit ProbeTest(const ByteNeedle::Probe &probe)
        : count(probe.count)
    {
        // Two bytes one bit apart (a letter in two cases) take one comparison.
        if (probe.oneBitApart) {
            const uchar apart = uchar(probe.values[0] ^ probe.values[1]);
            count = -1;
            bit = _mm_set1_epi8(char(apart));
            values[0] = _mm_set1_epi8(char(probe.values[0] | apart));
            return;
        }
        for (int k = 0; k < count; ++k)
            values[k] = _mm_set1_epi8(char(probe.values[size_t(k)]));
    }

    __m128i operator()(const char *at) const
    {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        if (count == -1)
            return _mm_cmpeq_epi8(_mm_or_si128(v, bit), values[0]);
        __m128i found = _mm_cmpeq_epi8(v, values[0]);
        for (int k = 1; k < count; ++k)
            found = _mm_or_si128(found, _mm_cmpeq_epi8(v, values[k]));
        return found;
    }
};

// The same thirty-two places at a time, where the processor has AVX2.
struct WideProbeTest
{
    __m256i values[3];
    __m256i bit;
    int count = 0;

    __attribute__((target("avx2"))) explicit WideProbeTest(const ByteNeedle::Probe &probe)
        : count(probe.count)
    {
        if (probe.oneBitApart) {
            const uchar apart = uchar(probe.values[0] ^ probe.values[1]);
            count = -1;
            bit = _mm256_set1_epi8(char(apart));
            values[0] = _mm256_set1_epi8(char(probe.values[0] | apart));
            return;
        }
        for (int k = 0; k < count; ++k)
            values[k] = _mm256_set1_epi8(char(probe.values[size_t(k)]));
    }

    __attribute__((target("avx2"))) __m256i operator()(const char *at) const
    {
        const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(at));
        if (count == -1)
            return _mm256_cmpeq_epi8(_mm256_or_si256(v, bit), values[0]);
        __m256i found = _mm256_cmpeq_epi8(v, values[0]);
        for (int k = 1; k < count; ++k)
            found = _mm256_or_si256(found, _mm256_cmpeq_epi8(v, values[k]));
        return found;
    }
};
// The bytes from *i on, as far as whole blocks reach: the first place where
// both probes and then the whole needle match, -1 when the places left lie
// past `last`, or NotFoundYet with *i where the blocks end.
constexpr qsizetype NotFoundYet = -2;

qsizetype findCandidate(unsigned mask, qsizetype i, qsizetype last, const std::vector<ByteSet> &sets,
                        const uchar *data)
{
    for (; mask != 0; mask &= mask - 1) {
        const qsizetype at = i + std::countr_zero(mask);
        if (at > last)
            return -1;
        if (matchesAt(sets, data + at))
            return at;
    }
    return NotFoundYet;
}

qsizetype findNarrow(const std::vector<ByteSet> &sets, const ByteNeedle::Probe &a, const ByteNeedle::Probe &b,
                     const char *bytes, qsizetype size, qsizetype last, qsizetype *i)
{
    const ProbeTest testA(a);
    const ProbeTest testB(b);
    const qsizetype reach = std::max(a.offset, b.offset) + 16;
    for (; *i <= last && *i + reach <= size; *i += 16) {
        const __m128i both = _mm_and_si128(testA(bytes + *i + a.offset), testB(bytes + *i + b.offset));
        const qsizetype found = findCandidate(unsigned(_mm_movemask_epi8(both)), *i, last, sets,
                                              reinterpret_cast<const uchar *>(bytes));
        if (found != NotFoundYet)
            return found;
    }
    return NotFoundYet;
}

__attribute__((target("avx2"))) qsizetype findWide(const std::vector<ByteSet> &sets,
                                                   const ByteNeedle::Probe &a, const ByteNeedle::Probe &b,
                                                   const char *bytes, qsizetype size, qsizetype last,
                                                   qsizetype *i)
{
    const WideProbeTest testA(a);
    const WideProbeTest testB(b);
    const qsizetype reach = std::max(a.offset, b.offset) + 32;
    for (; *i <= last && *i + reach <= size; *i += 32) {
        const __m256i both = _mm256_and_si256(testA(bytes + *i + a.offset), testB(bytes + *i + b.offset));
        const qsizetype found = findCandidate(unsigned(_mm256_movemask_epi8(both)), *i, last, sets,
                                              reinterpret_cast<const uchar *>(bytes));
        if (found != NotFoundYet)
            return found;
    }
    return NotFoundYet;
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
