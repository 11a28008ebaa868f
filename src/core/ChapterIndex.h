#pragma once

#include "core/ModuleLines.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

// One chapter of a module as its chapter index gives it.
struct ChapterRecord
{
    qint32 firstLine = 0; // line number of the chapter's first line
    qint32 lastLine = 0;  // line number of its last line
    qint32 book = 0;
    qint32 chapter = 0;
    qint32 verseCount = 0;
    qint32 startOffset = 0; // 1-based byte position of the first line
    qint32 endOffset = 0;   // 1-based byte position just after the last line
};

// The chapter index of a module: one record per chapter in module order, built
// from the module text and kept as lines of seven numbers. It turns a book or a
// chapter into a byte range of the module file.
class ChapterIndex
{
public:
    static constexpr int MaxBook = ModuleLines::MaxBook;

    struct Built
    {
        QStringList lines;
        // The malformed lines passed over, as "line <n>: <why>", in file order.
        QStringList skipped;
        // The file's lines end with a line feed alone: it is no module, and no
        // index is made of it.
        bool lineFeedEnds = false;
    };
    // The index of a module file's bytes. A malformed line is passed over: the
    // chapters stay right for every well-formed line.
    static Built Build(const QByteArray &moduleBytes, const QString &fileName);

    // Reads index lines; on a damaged index returns false with the reason and
    // stays empty. moduleSize (-1: unknown) must match the last record's end.
    bool Load(const QStringList &lines, qint64 moduleSize, QString *problem);
    void Clear();

    // The records in module order (a placeholder record first when the module
    // does not begin with book 1, chapter 1).
    const std::vector<ChapterRecord> &Records() const { return m_records; }
    // The record of a chapter, or nullptr when the module lacks it.
    const ChapterRecord *FindChapter(int book, int chapter) const;
    // The last chapter of a book; 0 when the module lacks the book.
    int LastChapter(int book) const;
    // The byte range [start, end) (1-based) of a whole book; false when absent.
    bool BookByteRange(int book, qint32 *start, qint32 *end) const;
    // The first and last record of the chapters from (book1, chapter1) to (book2,
    // chapter2): chapter 0 stands for the book's first (chapter1) or last (chapter2)
    // chapter. False when the module has none of them.
    bool ChapterSpan(int book1, int chapter1, int book2, int chapter2, const ChapterRecord **first,
                     const ChapterRecord **last) const;
    // Their byte range [start, end) (1-based); false when empty.
    bool RangeByteSpan(int book1, int chapter1, int book2, int chapter2, qint32 *start, qint32 *end) const;

    static bool IsPlaceholder(const ChapterRecord &r)
    {
        return r.verseCount == 0 && r.lastLine < r.firstLine;
    }

private:
    std::vector<ChapterRecord> m_records;
    // Record numbers (0-based) by book and chapter.
    QHash<qint64, qint32> m_byChapter;
    // 1-based record numbers of each book's first and last chapter; 0 when absent.
    std::array<qint32, MaxBook + 2> m_bookFirst{};
    std::array<qint32, MaxBook + 2> m_bookLast{};
};
