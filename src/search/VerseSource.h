#pragma once

#include "core/RawLineVisitor.h"
#include "core/VerseReader.h"

#include <functional>
#include <type_traits>

// Where the verses of a search come from: a function that visits them decoded,
// in module order (a list, in tests), or one that hands the raw verse lines of
// a module file to a reader that looks at their bytes first (the verse reader).
class VerseSource
{
public:
    using Visit = std::function<bool(const VerseReader::Visitor &)>;
    using ReadLines = std::function<bool(RawLineVisitor &)>;

    // No verses at all.
    VerseSource() = default;

    template <typename F>
    requires std::is_invocable_r_v<bool, const F &, const VerseReader::Visitor &> VerseSource(F visit)
        : m_visit(std::move(visit))
    {
    }

    template <typename F>
    requires std::is_invocable_r_v<bool, const F &, RawLineVisitor &> VerseSource(F readLines)
        : m_readLines(std::move(readLines))
    {
    }

    explicit operator bool() const { return m_visit || m_readLines; }
    bool ReadsRawLines() const { return bool(m_readLines); }
    // Visits the decoded verses of a source that does not read raw lines;
    // returns false when the visitor stopped it.
    bool operator()(const VerseReader::Visitor &visit) const { return m_visit(visit); }
    // Hands the raw lines of a source that reads them to the visitor.
    bool operator()(RawLineVisitor &visitor) const { return m_readLines(visitor); }

private:
    Visit m_visit;
    ReadLines m_readLines;
};
