#pragma once

#include <QString>
#include <QStringView>
#include <vector>

// The wildcard pattern of the search's "None" mode, matched against a whole
// reference line: "*" any run of characters, "?" any one character, "#" one digit
// 0-9, "[abc]" or "[a-c]" one character of the list, "[!abc]" one character not
// in it; every other character stands for itself. The pattern is compiled once
// and matched without recursion or backtracking over the line: the parts between
// stars are placed at their first possible place from the left, which is always
// the best place for the parts that follow.
class WildcardPattern
{
public:
    // ignoreCase: the text passed to Matches is upper-cased (SearchText::Fold),
    // and so is the pattern, lists and ranges too.
    WildcardPattern(const QString &pattern, bool ignoreCase);

    // False for an unclosed "[", an empty list "[]" or a range that runs
    // backwards once folded ("[z-a]"; ignoring case, "[Z-a]" too).
    bool IsValid() const { return m_valid; }
    // The line, already folded as SearchText::Fold folds it.
    bool Matches(QStringView foldedLine) const;

private:
    struct Token
    {
        enum Kind { Literal, AnyChar, Digit, List, Star } kind = Literal;
        QChar ch;
        bool negated = false;
        qsizetype firstRange = 0; // into m_ranges
        qsizetype rangeCount = 0;
    };
    struct Range
    {
        char16_t low;
        char16_t high;
    };
    struct Segment
    {
        qsizetype first = 0; // into m_tokens
        qsizetype count = 0;
    };

    qsizetype ParseList(const QString &pattern, qsizetype *i);
    bool TokenMatches(const Token &token, QChar c) const;
    bool SegmentMatchesAt(const Segment &segment, QStringView text, qsizetype at) const;

    bool m_valid = true;
    bool m_ignoreCase = false;
    bool m_hasStar = false;
    std::vector<Token> m_tokens;
    std::vector<Range> m_ranges;
    std::vector<Segment> m_segments; // the runs of tokens between stars
};
