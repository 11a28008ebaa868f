#include "search/RawLineScan.h"
#include "search/BookRange.h"

#include <algorithm>
#include <limits>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {
// How many calls pass between two looks at the clock.
constexpr unsigned CallsPerClockLook = 16;

qint64 countLineFeeds(const char *bytes, qsizetype size)
{
    qint64 count = 0;
    qsizetype i = 0;
#if defined(__SSE2__)
    // Sixteen counters of one byte each, summed up before they can overflow.
    const __m128i lineFeed = _mm_set1_epi8('\n');
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= size) {
        __m128i counters = zero;
        for (int round = 0; round < 255 && i + 16 <= size; ++round, i += 16) {
            const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(bytes + i));
            counters = _mm_sub_epi8(counters, _mm_cmpeq_epi8(block, lineFeed));
        }
        const __m128i sums = _mm_sad_epu8(counters, zero);
        count += _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
    }
#endif
    for (; i < size; ++i)
        count += bytes[i] == '\n';
    return count;
}
} // namespace

RawLineScan::RawLineScan(const TermSearch &search, TermSearch::Poll poll)
    : m_search(search)
    , m_poll(std::move(poll))
{
}

void RawLineScan::Start(int codePage)
{
    const bool ignoreCase = m_search.Request().ignoreCase;
    m_codePage = codePage;
    m_required.clear();
    for (const QString &text : m_search.RequiredTexts())
        m_required.push_back(
            {text, m_search.MayReachIntoReference(text), ByteNeedle(text, ignoreCase, codePage), -1});
    ChooseLeaders();
    m_clock.start();
    m_nextPoll = m_search.PollInterval();
}

// A text leads when every line that holds it holds it in the verse text, where
// its bytes can be looked for. When every text must be held, one leads (one
// that no line holds, else the one with the longest needle); when one is
// enough, all lead, or none when one of them cannot.
void RawLineScan::ChooseLeaders()
{
    m_leaders.clear();
    const auto leads = [](const Required &r) {
        return !r.folded.isEmpty() && !r.reachesReference && r.needle.IsUseful();
    };
    const auto weight = [](const Required &r) {
        return r.needle.NeverFound() ? std::numeric_limits<qsizetype>::max() : r.needle.Length();
    };
    if (m_search.NeedsEveryRequiredText()) {
        for (size_t i = 0; i < m_required.size(); ++i) {
            if (leads(m_required[i]) &&
                (m_leaders.empty() || weight(m_required[i]) > weight(m_required[m_leaders.front()])))
                m_leaders = {i};
        }
        return;
    }
    m_noLine = m_required.empty();
    if (std::all_of(m_required.cbegin(), m_required.cend(), leads)) {
        for (size_t i = 0; i < m_required.size(); ++i)
            m_leaders.push_back(i);
    }
}

qsizetype RawLineScan::NextCandidate(QByteArrayView bytes, qsizetype from)
{
    m_bytes = bytes.data();
    if (from >= bytes.size() || m_noLine || !PollAllows(bytes, from))
        return bytes.size();
    if (m_leaders.empty())
        return from;
    qsizetype next = bytes.size();
    for (const size_t leader : m_leaders)
        next = std::min(next, NextHit(m_required[leader], bytes, from));
    return next;
}

// The line is decoded at the end of the result, behind its reference; the
// search's rule decides unless the bytes did, and a line it does not accept is
// taken back.
bool RawLineScan::Visit(const ModuleLines::Line &line)
{
    const Holding holding = LineHolding(line);
    if (holding == Holding::No)
        return true;
    QString &text = m_result.text;
    const qsizetype start = text.size();
    text.resize(start + m_search.MaxReferenceLength(line.book) +
                ModuleLines::maxTextLength(line, m_codePage) + 1);
    QChar *end = m_search.WriteReference(line.book, line.chapter, line.verse, text.data() + start);
    end += ModuleLines::writeText(line, m_codePage, end);
    const QStringView referenceLine(text.constData() + start, end);
    if (holding == Holding::Yes || m_search.ModeAccepts(referenceLine)) {
        *end++ = QLatin1Char('\n');
        ++m_result.verses;
        text.truncate(end - text.constData());
    } else {
        text.truncate(start);
    }
    return true;
}

// Whether the mode accepts the line, as far as its bytes tell: yes only when the
// required texts decide the mode and their bytes were found where they say so.
RawLineScan::Holding RawLineScan::LineHolding(const ModuleLines::Line &line) const
{
    if (!BookRange::Accepts(m_search.Request().rangeCode, line.book))
        return Holding::No;
    const bool needsEvery = m_search.NeedsEveryRequiredText();
    Holding holding = needsEvery ? Holding::Yes : Holding::No;
    for (const Required &required : m_required) {
        const Holding one = Holds(required, line);
        if (needsEvery ? one < holding : one > holding)
            holding = one;
        if (holding == (needsEvery ? Holding::No : Holding::Yes))
            break;
    }
    return holding == Holding::Yes && !m_search.RequiredTextsDecide() ? Holding::Maybe : holding;
}

RawLineScan::Holding RawLineScan::Holds(const Required &required, const ModuleLines::Line &line) const
{
    // A leader's place in this line's text was found already.
    const qsizetype textStart = line.text - m_bytes;
    const bool leaderFound = required.nextHit >= textStart &&
                             required.nextHit + required.needle.Length() <= textStart + line.textSize;
    if (leaderFound || required.needle.IndexIn(line.text, line.textSize, 0) >= 0)
        return required.needle.IsExact() ? Holding::Yes : Holding::Maybe;
    if (required.reachesReference &&
        m_search.ReferenceMayHold(required.folded, line.book, line.chapter, line.verse))
        return Holding::Maybe;
    return Holding::No;
}

qsizetype RawLineScan::NextHit(Required &required, QByteArrayView bytes, qsizetype from)
{
    if (required.nextHit < from) {
        const qsizetype at = required.needle.IndexIn(bytes.data(), bytes.size(), from);
        required.nextHit = at < 0 ? bytes.size() : at;
    }
    return required.nextHit;
}

bool RawLineScan::PollAllows(QByteArrayView bytes, qsizetype at)
{
    if (!m_poll || m_result.stopped)
        return !m_result.stopped;
    if (++m_calls % CallsPerClockLook != 0 || m_clock.elapsed() < m_nextPoll)
        return true;
    CountLines(bytes, at);
    if (!m_poll(m_result.lines)) {
        m_result.stopped = true;
        return false;
    }
    m_nextPoll = m_clock.elapsed() + m_search.PollInterval();
    return true;
}

void RawLineScan::CountLines(QByteArrayView bytes, qsizetype to)
{
    if (to <= m_countedTo)
        return;
    m_result.lines += countLineFeeds(bytes.data() + m_countedTo, to - m_countedTo);
    m_countedTo = to;
}
