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
            if (!ParseList(pattern, &i)) {
                m_valid = false;
                continue;
            }
            token.rangeCount = qsizetype(m_ranges.size()) - token.firstRange;
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

// Reads the list after "[" (and "!") up to its "]"; *i ends on the "]".
bool WildcardPattern::ParseList(const QString &pattern, qsizetype *i)
{
    qsizetype at = *i + 1;
    while (at < pattern.size() && pattern[at] != QLatin1Char(']')) {
        const QChar low = SearchText::FoldQuote(pattern[at]);
        QChar high = low;
        if (at + 2 < pattern.size() && pattern[at + 1] == QLatin1Char('-') &&
            pattern[at + 2] != QLatin1Char(']')) {
            high = SearchText::FoldQuote(pattern[at + 2]);
            if (high < low)
                return false;
            at += 2;
        }
        m_ranges.push_back(Range{low.unicode(), high.unicode()});
        ++at;
    }
    if (at >= pattern.size())
        return false;
    *i = at;
    return true;
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
        // The line is upper-cased when case is ignored, while the list keeps the
        // case it was typed in: a lower-case list entry must still match.
        const char16_t upper = c.unicode();
        const char16_t lower = m_ignoreCase ? c.toLower().unicode() : upper;
        bool inList = false;
        for (qsizetype r = token.firstRange; r < token.firstRange + token.rangeCount && !inList; ++r) {
            const Range &range = m_ranges[size_t(r)];
            inList =
                (upper >= range.low && upper <= range.high) || (lower >= range.low && lower <= range.high);
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

QStringList WildcardPattern::Literals() const
{
    QStringList literals;
    QString run;
    for (const Segment &segment : m_segments) {
        for (qsizetype k = segment.first; k <= segment.first + segment.count; ++k) {
            const bool literal =
                k < segment.first + segment.count && m_tokens[size_t(k)].kind == Token::Literal;
            if (literal) {
                run += m_tokens[size_t(k)].ch;
            } else if (!run.isEmpty()) {
                literals.append(run);
                run.clear();
            }
        }
    }
    return literals;
}
