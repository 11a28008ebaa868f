#pragma once

#include "core/RawLineVisitor.h"
#include "search/ByteNeedle.h"
#include "search/TermSearch.h"

#include <QElapsedTimer>
#include <QString>
#include <functional>
#include <vector>

// The term search over the raw lines of a module file: the texts a line must
// hold are folded once into the module's code page (ByteNeedle) and looked for
// in the bytes; only the lines that may hold them are decoded, straight into
// the result, and tested there by the search's own rule. Polls as it reads.
class RawLineScan : public RawLineVisitor
{
public:
    RawLineScan(const TermSearch &search, TermSearch::Poll poll);

    void Start(int codePage) override;
    qsizetype NextCandidate(QByteArrayView bytes, qsizetype from) override;
    bool Visit(const ModuleLines::Line &line) override;

    // The verses found; the lines passed are counted only for the polls.
    SearchResult TakeResult() { return std::move(m_result); }

private:
    // How far the bytes of a line tell whether it is accepted.
    enum class Holding { No, Maybe, Yes };

    struct Required
    {
        QString folded;
        bool reachesReference = false;
        ByteNeedle needle;
        qsizetype nextHit = -1; // the needle's first place from the last search on
    };

    void ChooseLeaders();
    Holding LineHolding(const ModuleLines::Line &line) const;
    Holding Holds(const Required &required, const ModuleLines::Line &line) const;
    qsizetype NextHit(Required &required, QByteArrayView bytes, qsizetype from);
    bool PollAllows(QByteArrayView bytes, qsizetype at);
    void CountLines(QByteArrayView bytes, qsizetype to);

    const TermSearch &m_search;
    TermSearch::Poll m_poll;
    int m_codePage = 0;
    const char *m_bytes = nullptr; // the module's bytes, where the lines point
    SearchResult m_result;
    std::vector<Required> m_required;
    // The texts whose places lead the reading: the next line worth a look is the
    // first that holds one of them. None: every line is looked at.
    std::vector<size_t> m_leaders;
    bool m_noLine = false; // no line can be accepted
    QElapsedTimer m_clock;
    qint64 m_nextPoll = 0;
    unsigned m_calls = 0;
    qsizetype m_countedTo = 0;
};
