#pragma once

#include "core/ChapterIndex.h"

#include <QString>
#include <memory>
#include <vector>

class CharMapper;
class IndexStamp;
class QFont;
class ReadingPane;

// One opened text module (a Bible translation or a commentary) with its chapter
// index "<Index folder><file name>.INDEX", built from the module text on first use.
class Translation
{
public:
    enum Kind { BibleKind = 0, CommentaryKind = 1 };
    static constexpr int MaxBook = ChapterIndex::MaxBook;

    // Binds the object to entry i of the Bible list (what 0) or the commentary
    // list (what 1) and loads the chapter index.
    void Initialize(qint32 i, qint32 what);
    void RedloadIndex();
    // 0 for a book the module lacks; RuntimeError 9 for a book outside 0..66.
    qint16 GetNumChapters(qint16 ibook) const;
    // 0 for a chapter the book lacks.
    qint16 GetNumVerses(qint16 ibook, qint16 ichapter) const;

    // Appends book ibook to the end of the pane: in the formatted view with chapter
    // headings and verse numbers in the styles "Chapter", "VerseNumber" and
    // "normal", in the plain view as one reference line per verse.
    void BookContentsIntoNewRichEdit(ReadingPane &rt, int ibook, bool fancyFormatting, bool smartQuotes,
                                     bool smartDash);
    // The whole book as reference lines, or as one RTF document.
    QString BookContents(int ibook, bool asRtf);
    // Writes the raw module lines from (book1, chapter1) to (book2, chapter2) into
    // path, then an empty line. Chapter 0 means the book's first (chapter1) or
    // last (chapter2) chapter.
    void CopyChapterIntoFile(const QString &path, int book1, int chapter1, int book2, int chapter2,
                             bool overwrite);
    void CopyBookIntoFile(const QString &path, int book1, int book2, bool overwrite);

    // An optional substitution of characters applied to every verse text.
    std::shared_ptr<CharMapper> Mapper;
    // The reading font chosen for this module in this run, or none.
    std::shared_ptr<QFont> Font;

    qint32 WHAT_ = -1;
    qint32 ModuleIndex = -1;
    QString FileName;
    QString DisplayName;
    qint32 CodePage = 0;

    // The chapter index; empty when the module could not be indexed.
    const ChapterIndex &Index() const { return m_index; }
    bool HasIndex() const { return !m_index.Records().empty(); }
    const std::vector<ChapterRecord> &Records() const { return m_index.Records(); }
    const ChapterRecord *FindChapter(int book, int chapter) const
    {
        return m_index.FindChapter(book, chapter);
    }
    bool BookByteRange(int book, qint32 *start, qint32 *end) const
    {
        return m_index.BookByteRange(book, start, end);
    }
    bool RangeByteSpan(int book1, int chapter1, int book2, int chapter2, qint32 *start, qint32 *end) const
    {
        return m_index.RangeByteSpan(book1, chapter1, book2, chapter2, start, end);
    }
    // Whether the module file was cut short: its last line has no line end, so
    // its text stops in the last verse its index holds. Known from the index,
    // without reading the module.
    bool CutShort() const { return m_cutShort; }
    // Whether the module file, cut short, ends before the book: its index has
    // neither the book nor a later one.
    bool CutShortBefore(int book) const;
    // Whether the text of a passage stops where the file was cut: the passage
    // lies in the book the cut falls in, and takes in its last verse or lies
    // after it. Chapter 0 stands for the whole book, verse 0 for the whole chapter.
    bool StopsWithin(int book, int chapter = 0, int verse = 0) const;
    // The lines that stand, in the text shown, for what a file cut short lacks:
    // a book it ends before, and the rest of the book it stops in.
    QString EndsBeforeLine() const;
    QString StopsHereLine() const;
    // A folder of the indexes or scratch copies that the reader was told cannot
    // be made: the files that then cannot be written there are not told again
    // this run.
    static void FolderToldOf(const QString &folder);

    // Full path of the module file.
    QString ModulePath() const { return ModuleFolder() + FileName; }
    QString IndexPath() const;

private:
    QString ModuleFolder() const;
    void LoadIndexFile();
    // Builds the index of the module and stores it; returns its lines (the stamp
    // first), also when they could not be stored, and none when no index was made.
    QStringList CreateIndexFile(const QString &folder, const QString &fileName);
    bool ReadIndex(QStringList lines, QString *problem);
    // One message for a module that ends in the middle of a line (cut short) and
    // that lists the malformed lines left out of its index. A file cut short is
    // told once a run (stamp: the state of the file told of).
    static void ReportDamage(const QString &path, const IndexStamp &stamp, const QStringList &skipped);

    // The last chapter the index holds; nullptr when it holds none.
    const ChapterRecord *LastChapterHeld() const;

    ChapterIndex m_index;
    bool m_cutShort = false;
};
