#include "core/VerseReader.h"

#include "core/ModuleLines.h"
#include "core/Translation.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QFile>
#include <limits>

namespace {
// Book and chapter in module order.
qint64 orderKey(qint64 book, qint64 chapter)
{
    return (book << 32) + chapter;
}

// The bytes [start, end) (1-based) of a module file.
QByteArray readSpan(const QString &path, qint32 start, qint32 end)
{
    const QString source = QStringLiteral("Verbanox.VerseReader");
    QFile file(FileNames::resolve(path));
    if (!file.exists())
        raiseFileNotFound(source, path);
    if (!file.open(QIODevice::ReadOnly) || !file.seek(start - 1))
        raiseFileUnreadable(source, path, file.errorString());
    const QByteArray bytes = file.read(end - start);
    if (file.error() != QFileDevice::NoError)
        raiseFileUnreadable(source, path, file.errorString());
    return bytes;
}

// Visits the verses of the bytes whose chapter lies in [from, to]. Malformed
// lines were reported when the index was built; here they are passed over, as is
// a line without a text field (four fields), which holds no verse to show.
bool visitLines(const QByteArray &bytes, qint64 from, qint64 to, int codePage,
                const VerseReader::Visitor &visit)
{
    ModuleLines lines(bytes);
    while (!lines.atEnd()) {
        const ModuleLines::Line line = lines.next();
        if (line.problem != ModuleLines::WellFormed || line.fieldCount < 5)
            continue;
        const qint64 key = orderKey(line.book, line.chapter);
        if (key < from || key > to)
            continue;
        Verse verse;
        verse.line = line.number;
        verse.book = line.book;
        verse.chapter = line.chapter;
        verse.verse = line.verse;
        verse.text = ModuleLines::decodeText(line, codePage);
        if (!visit(verse))
            return false;
    }
    return true;
}

std::vector<Verse> collect(const std::function<bool(const VerseReader::Visitor &)> &read)
{
    std::vector<Verse> verses;
    read([&verses](const Verse &verse) {
        verses.push_back(verse);
        return true;
    });
    return verses;
}
} // namespace

VerseReader::VerseReader(const Translation &translation)
    : m_translation(translation)
{
}

bool VerseReader::ForEachInChapters(int book1, int chapter1, int book2, int chapter2,
                                    const Visitor &visit) const
{
    if (chapter1 < 0 || chapter2 < 0)
        return true;
    const qint64 from = orderKey(book1, chapter1 == 0 ? 1 : chapter1);
    const qint64 to = orderKey(book2, chapter2 == 0 ? std::numeric_limits<qint32>::max() : chapter2);
    // A module deleted since its index was built is missing whatever is asked
    // for, also a passage it never held.
    const QString path = m_translation.ModulePath();
    if (!FileNames::existsIgnoringCase(path))
        raiseFileNotFound(QStringLiteral("Verbanox.VerseReader"), path);
    // The chapters are taken from the index by book and chapter; their lines
    // follow each other in the file, so they are read as one span.
    const ChapterRecord *first = nullptr;
    const ChapterRecord *last = nullptr;
    if (!m_translation.Index().ChapterSpan(book1, chapter1, book2, chapter2, &first, &last) ||
        last->endOffset <= first->startOffset)
        return true;
    const QByteArray bytes = readSpan(path, first->startOffset, last->endOffset);
    return visitLines(bytes, from, to, m_translation.CodePage, visit);
}

bool VerseReader::ForEachInBooks(int book1, int book2, const Visitor &visit) const
{
    return ForEachInChapters(book1, 0, book2, 0, visit);
}

bool VerseReader::ForEachInModule(const Visitor &visit) const
{
    return visitLines(TextFiles::readAll(m_translation.ModulePath()), std::numeric_limits<qint64>::min(),
                      std::numeric_limits<qint64>::max(), m_translation.CodePage, visit);
}

std::vector<Verse> VerseReader::Book(int book) const
{
    return Books(book, book);
}

std::vector<Verse> VerseReader::Chapter(int book, int chapter) const
{
    // Chapter 0 names no chapter here (in a range it stands for the book's first or last).
    if (chapter < 1)
        return {};
    return collect(
        [&](const Visitor &visit) { return ForEachInChapters(book, chapter, book, chapter, visit); });
}

std::vector<Verse> VerseReader::Books(int book1, int book2) const
{
    return collect([&](const Visitor &visit) { return ForEachInBooks(book1, book2, visit); });
}
