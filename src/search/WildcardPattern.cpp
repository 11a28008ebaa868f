#include "search/WildcardPattern.h"
#include "search/SearchText.h"

WildcardPattern::WildcardPattern(const QString &pattern, bool ignoreCase)
    : m_ignoreCase(ignoreCase)
{
    Segment current;
    for (qsizetype i = 0; i < pattern.size() && m_valid; ++i) {
        const QChar c = pattern[i];
        Token token;
        switch (c.unicode()) {
        case '*':
            m_hasStar = true;
            m_segments.push_back(current);
            current = Segment{qsizetype(m_tokens.size()), 0};
            continue;
        case '?':
            token.kind = Token::AnyChar;
            break;
        case '#':
            token.kind = Token::Digit;
            break;
        case '[':
            token.kind = Token::List;
            token.firstRange = qsizetype(m_ranges.size());
            if (i + 1 < pattern.size() && pattern[i + 1] == QLatin1Char('!')) {
                token.negated = true;
                ++i;
            }
            token.rangeCount = ParseList(pattern, &i);
            // "[]" would match no character; "[!]" matches any one.
            if (token.rangeCount < 0 || (token.rangeCount == 0 && !token.negated)) {
                m_valid = false;
                continue;
            }
            break;
        default:
            token.ch = SearchText::Fold(c, ignoreCase);
            break;
        }
        m_tokens.push_back(token);
        ++current.count;
    }
    m_segments.push_back(current);
}

// Reads the list after "[" (and "!") up to its "]"; *i ends on the "]". Returns
// the number of its entries, -1 when it is not closed or a range runs backwards.
// The list is folded as the line is, so that with case ignored a range is
// compared in upper case on both sides: "[a-z]" is "[A-Z]", "[Z-a]" runs backwards.
qsizetype WildcardPattern::ParseList(const QString &pattern, qsizetype *i)
{
    const size_t first = m_ranges.size();
    qsizetype at = *i + 1;
    while (at < pattern.size() && pattern[at] != QLatin1Char(']')) {
        const QChar low = SearchText::Fold(pattern[at], m_ignoreCase);
        QChar high = low;
        if (at + 2 < pattern.size() && pattern[at + 1] == QLatin1Char('-') &&
            pattern[at + 2] != QLatin1Char(']')) {
            high = SearchText::Fold(pattern[at + 2], m_ignoreCase);
            if (high < low)
                return -1;
            at += 2;
        }
        m_ranges.push_back(Range{low.unicode(), high.unicode()});
        ++at;
    }
    if (at >= pattern.size())
        return -1;
    *i = at;
    return qsizetype(m_ranges.size() - first);
}

bool WildcardPattern::TokenMatches(const Token &token, QChar c) const
{
    switch (token.kind) {
    case Token::Literal:
        return token.ch == c;
    case Token::AnyChar:
        return true;
    case Token::Digit:
        return c >= QLatin1Char('0') && c <= QLatin1Char('9');
    case Token::List: {
        const char16_t u = c.unicode();
        bool inList = false;
        for (qsizetype r = token.firstRange; r < token.firstRange + token.rangeCount && !inList; ++r) {
            const Range &range = m_ranges[size_t(r)];
            inList = u >= range.low && u <= range.high;
        }
        return inList != token.negated;
    }
    case Token::Star:
        break;
    }
    return false;
}

bool WildcardPattern::SegmentMatchesAt(const Segment &segment, QStringView text, qsizetype at) const
{
    if (at < 0 || at + segment.count > text.size())
        return false;
    for (qsizetype k = 0; k < segment.count; ++k) {
        if (!TokenMatches(m_tokens[size_t(segment.first + k)], text[at + k]))
            return false;
    }
    return true;
}

bool WildcardPattern::Matches(QStringView line) const
{
    if (!m_valid)
        return false;
    const Segment &head = m_segments.front();
    if (!m_hasStar)
        return head.count == line.size() && SegmentMatchesAt(head, line, 0);

    const Segment &tail = m_segments.back();
    if (head.count + tail.count > line.size())
        return false;
    if (!SegmentMatchesAt(head, line, 0) || !SegmentMatchesAt(tail, line, line.size() - tail.count))
        return false;
    // The middle parts, each at its leftmost place after the one before and
    // before the tail.
    qsizetype from = head.count;
    const qsizetype end = line.size() - tail.count;
    for (size_t s = 1; s + 1 < m_segments.size(); ++s) {
        const Segment &segment = m_segments[s];
        qsizetype at = from;
        while (at + segment.count <= end && !SegmentMatchesAt(segment, line, at))
            ++at;
        if (at + segment.count > end)
            return false;
        from = at + segment.count;
    }
    return true;
}
