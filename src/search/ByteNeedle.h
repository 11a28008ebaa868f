#pragma once

#include <QStringView>
#include <QtGlobal>
#include <array>
#include <vector>

// What a folded search term looks like in the raw bytes of a module's text, so
// that the lines that cannot hold it are passed over before they are decoded.
// Each character of the term stands for every character that folds to it, in
// the module's code page: in a single-byte code page, one byte of a set; in
// UTF-8, the bytes of its forms, when they all have the same length. The needle
// is the longest run of such characters in the term: bytes without it decode to
// no text with the term; bytes with it may still not (the decoded text decides).
class ByteNeedle
{
public:
    // No needle: every text may hold the term.
    ByteNeedle() = default;
    ByteNeedle(QStringView foldedTerm, bool ignoreCase, int codePage);

    // False when the term leaves nothing to look for in these bytes.
    bool IsUseful() const { return m_never || !m_sets.empty(); }
    // Whether no text in the code page holds the term.
    bool NeverFound() const { return m_never; }
    // Whether bytes that hold the needle always decode to a text that holds the
    // term: so in a single-byte code page.
    bool IsExact() const { return m_exact; }
    qsizetype Length() const { return qsizetype(m_sets.size()); }
    // The first offset from `from` on where the needle begins in the bytes, or
    // -1. A useless needle is found at once.
    qsizetype IndexIn(const char *bytes, qsizetype size, qsizetype from) const;

    // A place in the needle with few bytes, tested sixteen or thirty-two places at a time.
    struct Probe
    {
        qsizetype offset = 0;
        int count = 0;
        std::array<uchar, 3> values{};
        bool oneBitApart = false; // two values: a letter in two cases
    };

private:
    using ByteSet = std::array<quint64, 4>;

    void BuildSingleByte(QStringView foldedTerm, bool ignoreCase, const std::array<char16_t, 256> &table);
    void BuildUtf8(QStringView foldedTerm, bool ignoreCase);
    void ChooseProbes();

    std::vector<ByteSet> m_sets;
    // A character that the code page cannot hold: no text of the module holds the term.
    bool m_never = false;
    bool m_exact = false;
    std::vector<Probe> m_probes; // none, one or two
};
