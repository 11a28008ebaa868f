#pragma once

#include <QString>
#include <array>
#include <memory>
#include <vector>

class CharMapper;
class QFont;
class ReadingPane;

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

// One opened text module (a Bible translation or a commentary) with its chapter
// index "<Index folder><file name>.INDEX", built from the module text on first use.
class Translation
{
public:
    enum Kind { BibleKind = 0, CommentaryKind = 1 };
    static constexpr int MaxBook = 72;

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

    // The chapter records in module order (a placeholder record first when the
    // module does not begin with book 1, chapter 1).
    const std::vector<ChapterRecord> &Records() const { return m_records; }
    // The record of a chapter, or nullptr when the module lacks it.
    const ChapterRecord *FindChapter(int book, int chapter) const;
    // The byte range [start, end) (1-based) of a whole book; false when absent.
    bool BookByteRange(int book, qint32 *start, qint32 *end) const;
    // Full path of the module file.
    QString ModulePath() const { return ModuleFolder() + FileName; }
    QString IndexPath() const;

    // The chapter index of a module file, as its lines would be written.
    static QStringList BuildIndexLines(const QByteArray &moduleBytes, const QString &fileName);

    // The byte range [start, end) from (book1, chapter1) to (book2, chapter2); false when empty.
    bool RangeByteSpan(int book1, int chapter1, int book2, int chapter2, qint32 *start, qint32 *end) const;

private:
    QString ModuleFolder() const;
    void LoadIndexFile();
    void CreateIndexFile(const QString &folder, const QString &fileName);
    bool ReadIndex(QString *problem);
    void ClearTables();

    std::vector<ChapterRecord> m_records;
    // 1-based record numbers of each book's first and last chapter; 0 when absent.
    std::array<qint32, MaxBook + 2> m_bookFirst{};
    std::array<qint32, MaxBook + 2> m_bookLast{};
};
