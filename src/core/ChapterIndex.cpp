#include "core/ChapterIndex.h"

#include "core/Bug_.h"
#include "core/ModuleLines.h"
#include "platform/VbConvert.h"

#include <cstring>
#include <limits>

namespace {
QString indexLine(const ChapterRecord &r)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(r.firstLine)
        .arg(r.lastLine)
        .arg(r.book)
        .arg(r.chapter)
        .arg(r.verseCount)
        .arg(r.startOffset)
        .arg(r.endOffset);
}

qint64 chapterKey(qint64 book, qint64 chapter)
{
    return (book << 32) + chapter;
}

// Whether a record's byte range [start, end) lies in a module of moduleSize bytes
// (-1: unknown, then only its order is checked).
bool withinModule(const ChapterRecord &r, qint64 moduleSize)
{
    const qint64 end = moduleSize < 0 ? std::numeric_limits<qint32>::max() : moduleSize + 1;
    return r.startOffset >= 1 && r.startOffset <= r.endOffset && r.endOffset <= end;
}

// Whether the first line of the file ends with a line feed alone: a file made
// with the line ends of another system, none of whose lines could be read.
bool endsLinesWithLineFeed(const QByteArray &bytes)
{
    const qsizetype lf = bytes.indexOf('\n');
    return lf >= 0 && (lf == 0 || bytes[lf - 1] != '\r');
}
} // namespace

ChapterIndex::Built ChapterIndex::Build(const QByteArray &bytes, const QString &fileName)
{
    Built built;
    if (endsLinesWithLineFeed(bytes)) {
        built.lineFeedEnds = true;
        return built;
    }
    ModuleLines lines(bytes);
    qint32 lineCount = 0;
    bool open = false;
    ChapterRecord current;
    qint32 lastVerse = 0;
    // The previous well-formed line, for the texts of the checks below.
    qint32 number = 0, book = 0, chapter = 0, verse = 0;
    while (!lines.atEnd()) {
        const qint32 position = qint32(lines.position() + 1);
        const ModuleLines::Line line = lines.next();
        ++lineCount;
        if (line.problem != ModuleLines::WellFormed) {
            built.skipped.append(
                QStringLiteral("line %1: %2").arg(lineCount).arg(ModuleLines::describe(line)));
            continue;
        }
        // Messages are built only when a check fails: this loop runs once per verse.
        if (line.fieldCount < 5)
            AssertFailed(QStringLiteral("Not enough fields on line %1 of %2 (%3) %4:%5:%6")
                             .arg(lineCount)
                             .arg(fileName)
                             .arg(number)
                             .arg(book)
                             .arg(chapter)
                             .arg(verse));
        if (line.number != lineCount)
            AssertFailed(QStringLiteral("ILINE: %1 (%2) %3:%4:%5")
                             .arg(fileName)
                             .arg(line.number)
                             .arg(book)
                             .arg(chapter)
                             .arg(verse));
        number = line.number;
        book = line.book;
        chapter = line.chapter;
        verse = line.verse;
        if (open && book == current.book && chapter == current.chapter) {
            current.lastLine = number;
            ++current.verseCount;
            lastVerse = verse;
            continue;
        }
        if (open) {
            if (lastVerse != current.verseCount)
                AssertFailed(QStringLiteral("IVERS: Error in verse numbering at or near: BIBLE=%1, LINE=%2, "
                                            "BOOK=%3, CHAPTER=%4, VERSE=%5")
                                 .arg(fileName)
                                 .arg(number)
                                 .arg(book)
                                 .arg(chapter)
                                 .arg(verse));
            current.endOffset = position;
            built.lines.append(indexLine(current));
        } else if (book != 1 || chapter != 1) {
            // A module that does not begin with Genesis 1 gets an empty first record.
            built.lines.append(QStringLiteral("1,0,1,1,0,1,1"));
        }
        open = true;
        current = ChapterRecord{number, number, book, chapter, 1, position, 0};
        lastVerse = verse;
    }
    const qint32 end = qint32(bytes.size() + 1);
    if (open) {
        current.endOffset = end;
        built.lines.append(indexLine(current));
    } else {
        built.lines.append(QStringLiteral("1,0,1,1,0,1,%1").arg(end));
    }
    return built;
}

void ChapterIndex::Clear()
{
    m_records.clear();
    m_byChapter.clear();
    m_bookFirst.fill(0);
    m_bookLast.fill(0);
}

bool ChapterIndex::Load(const QStringList &lines, qint64 moduleSize, QString *problem)
{
    Clear();
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QStringList values = lines[n].split(QLatin1Char(','));
        ChapterRecord r;
        bool ok = values.size() == 7;
        qint32 *fields[] = {&r.firstLine,  &r.lastLine,    &r.book,     &r.chapter,
                            &r.verseCount, &r.startOffset, &r.endOffset};
        for (int f = 0; ok && f < 7; ++f) {
            const std::optional<qint32> value = VbConvert::toInt32(values[f]);
            ok = value.has_value() && *value >= 0;
            if (ok)
                *fields[f] = *value;
        }
        if (!ok || r.book < 1 || r.book > MaxBook) {
            *problem = QStringLiteral("line %1 is damaged: '%2'").arg(n + 1).arg(lines[n]);
            Clear();
            return false;
        }
        // A chapter's bytes are read whole: a range outside the module would
        // make its reader ask for more than the file holds.
        if (!withinModule(r, moduleSize)) {
            *problem =
                QStringLiteral("line %1 does not match the module file: '%2'").arg(n + 1).arg(lines[n]);
            Clear();
            return false;
        }
        m_records.push_back(r);
    }
    if (m_records.empty()) {
        *problem = QStringLiteral("the index is empty");
        return false;
    }
    if (moduleSize >= 0 && m_records.back().endOffset != moduleSize + 1) {
        *problem = QStringLiteral("the index does not match the module file");
        Clear();
        return false;
    }
    for (qint32 i = 0; i < qint32(m_records.size()); ++i) {
        const ChapterRecord &r = m_records[size_t(i)];
        if (IsPlaceholder(r))
            continue;
        if (!m_bookFirst[size_t(r.book)])
            m_bookFirst[size_t(r.book)] = i + 1;
        m_bookLast[size_t(r.book)] = i + 1;
        m_byChapter.insert(chapterKey(r.book, r.chapter), i);
    }
    return true;
}

const ChapterRecord *ChapterIndex::FindChapter(int book, int chapter) const
{
    const auto it = m_byChapter.constFind(chapterKey(book, chapter));
    return it == m_byChapter.constEnd() ? nullptr : &m_records[size_t(*it)];
}

int ChapterIndex::LastChapter(int book) const
{
    if (book < 1 || book > MaxBook || !m_bookLast[size_t(book)])
        return 0;
    return m_records[size_t(m_bookLast[size_t(book)] - 1)].chapter;
}

bool ChapterIndex::BookByteRange(int book, qint32 *start, qint32 *end) const
{
    const ChapterRecord *first = nullptr;
    const ChapterRecord *last = nullptr;
    if (!ChapterSpan(book, 0, book, 0, &first, &last))
        return false;
    *start = first->startOffset;
    *end = last->endOffset;
    return true;
}

bool ChapterIndex::ChapterSpan(int book1, int chapter1, int book2, int chapter2, const ChapterRecord **first,
                               const ChapterRecord **last) const
{
    if (chapter1 < 0 || chapter2 < 0)
        return false;
    // Records run in module order; the span starts at the first chapter at or after
    // (book1, chapter1) and ends with the last one at or before (book2, chapter2).
    const qint64 from = chapterKey(book1, chapter1 == 0 ? 1 : chapter1);
    const qint64 to = chapterKey(book2, chapter2 == 0 ? std::numeric_limits<qint32>::max() : chapter2);
    *first = nullptr;
    *last = nullptr;
    for (const ChapterRecord &r : m_records) {
        if (IsPlaceholder(r))
            continue;
        const qint64 key = chapterKey(r.book, r.chapter);
        if (key < from || key > to)
            continue;
        if (!*first)
            *first = &r;
        *last = &r;
    }
    return *first != nullptr;
}

bool ChapterIndex::RangeByteSpan(int book1, int chapter1, int book2, int chapter2, qint32 *start,
                                 qint32 *end) const
{
    const ChapterRecord *first = nullptr;
    const ChapterRecord *last = nullptr;
    if (!ChapterSpan(book1, chapter1, book2, chapter2, &first, &last))
        return false;
    *start = first->startOffset;
    *end = last->endOffset;
    return *end > *start;
}
