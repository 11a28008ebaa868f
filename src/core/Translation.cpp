#include "Translation.h"
#include "Bug_.h"
#include "FileFunctions_.h"
#include "FileNameMap.h"
#include "FileNames.h"
#include "GlobalVars.h"
#include "ProgressLog.h"
#include "TextFile.h"
#include "VbConvert.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// A decimal field of a module line; anything else is an error for the caller.
qint32 fieldNumber(const char *begin, const char *end, const QString &fileName, int lineCount)
{
    const char *p = begin;
    while (p < end && *p == ' ')
        ++p;
    bool negative = false;
    if (p < end && (*p == '-' || *p == '+'))
        negative = *p++ == '-';
    qint64 value = 0;
    const char *digits = p;
    while (p < end && *p >= '0' && *p <= '9' && value <= 0x7FFFFFFF)
        value = value * 10 + (*p++ - '0');
    while (p < end && *p == ' ')
        ++p;
    if (p == digits || p != end || value > 0x7FFFFFFF)
        raiseError(RtErr::TypeMismatch, QStringLiteral("Verbanox.Translation"),
                   QStringLiteral("Line %1 of %2: '%3' is not a number")
                       .arg(lineCount)
                       .arg(fileName, QString::fromLatin1(begin, end - begin)));
    return qint32(negative ? -value : value);
}

QString indexLine(qint32 firstLine, qint32 lastLine, qint32 book, qint32 chapter, qint32 count,
                  qint32 start, qint32 end)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7").arg(firstLine).arg(lastLine).arg(book).arg(chapter)
        .arg(count).arg(start).arg(end);
}

// Index files being built right now; a request that arrives while events run
// during a build must not start a second build of the same file.
QSet<QString> &indexesBeingBuilt()
{
    static QSet<QString> building;
    return building;
}

bool isPlaceholder(const ChapterRecord &r)
{
    return r.verseCount == 0 && r.lastLine < r.firstLine;
}
} // namespace

QStringList Translation::BuildIndexLines(const QByteArray &bytes, const QString &fileName)
{
    QStringList lines;
    qint32 curBook = 1, curChapter = 1, counter = 0, chapterFirstLine = 1, chapterStart = 1;
    qint32 lineCount = 0, lineNumber = 0, book = 0, chapter = 0, verse = 0;
    const char *data = bytes.constData();
    const qsizetype n = bytes.size();
    qsizetype pos = 0;
    while (pos < n) {
        ++lineCount;
        const qint32 position = qint32(pos + 1);
        // Only CR LF ends a module line: offsets in the index depend on it.
        const char *lf = static_cast<const char *>(memchr(data + pos, '\n', size_t(n - pos)));
        const qsizetype end = lf ? (lf - data) - 1 : n;
        const qsizetype next = lf ? (lf - data) + 1 : n;
        if (lf && (end < pos || data[end] != '\r'))
            raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.Translation"),
                       QStringLiteral("Line %1 of %2 ends with a line feed alone; the lines of a module must end with CR LF.")
                           .arg(lineCount).arg(fileName));
        // Only the first four fields matter here; the text may hold further Tabs.
        const char *fieldBegin[4] = {};
        const char *fieldEnd[4] = {};
        int fieldCount = 1;
        fieldBegin[0] = data + pos;
        for (qsizetype i = pos; i < end && fieldCount <= 4; ++i) {
            if (data[i] == '\t') {
                fieldEnd[fieldCount - 1] = data + i;
                if (fieldCount < 4)
                    fieldBegin[fieldCount] = data + i + 1;
                ++fieldCount;
            }
        }
        if (fieldCount <= 4)
            fieldEnd[fieldCount - 1] = data + end;
        // Messages are built only when a check fails: this loop runs once per verse.
        if (fieldCount < 5)
            AssertFailed(QStringLiteral("Not enough fields on line %1 of %2 (%3) %4:%5:%6")
                             .arg(lineCount).arg(fileName).arg(lineNumber).arg(book).arg(chapter).arg(verse));
        if (fieldCount < 4)
            raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.Translation"),
                       QStringLiteral("Line %1 of %2 has only %3 fields").arg(lineCount).arg(fileName).arg(fieldCount));
        ++counter;
        lineNumber = fieldNumber(fieldBegin[0], fieldEnd[0], fileName, lineCount);
        if (lineNumber != lineCount)
            AssertFailed(QStringLiteral("ILINE: %1 (%2) %3:%4:%5")
                             .arg(fileName).arg(lineNumber).arg(book).arg(chapter).arg(verse));
        book = fieldNumber(fieldBegin[1], fieldEnd[1], fileName, lineCount);
        chapter = fieldNumber(fieldBegin[2], fieldEnd[2], fileName, lineCount);
        const qint32 previousVerse = verse;
        verse = fieldNumber(fieldBegin[3], fieldEnd[3], fileName, lineCount);
        pos = next;
        if (book == curBook && chapter == curChapter)
            continue;
        if (previousVerse != counter - 1)
            AssertFailed(QStringLiteral("IVERS: Error in verse numbering at or near: BIBLE=%1, LINE=%2, BOOK=%3, CHAPTER=%4, VERSE=%5")
                   .arg(fileName).arg(lineNumber).arg(book).arg(chapter).arg(verse));
        lines.append(indexLine(chapterFirstLine, lineNumber - 1, curBook, curChapter, counter - 1, chapterStart, position));
        counter = 1;
        chapterFirstLine = lineNumber;
        chapterStart = position;
        curBook = book;
        curChapter = chapter;
    }
    lines.append(indexLine(chapterFirstLine, lineNumber, curBook, curChapter, counter, chapterStart, qint32(n + 1)));
    return lines;
}

QString Translation::ModuleFolder() const
{
    switch (WHAT_) {
    case BibleKind: return gBibleFolder;
    case CommentaryKind: return gCommentaryFolder;
    default:
        AssertFailed(QStringLiteral("Illegal WHAT_ value: ") + QString::number(WHAT_));
        return QString();
    }
}

QString Translation::IndexPath() const
{
    return gIndexFolder + FileName + QStringLiteral(".INDEX");
}

void Translation::Initialize(qint32 i, qint32 what)
{
    ModuleIndex = i;
    WHAT_ = what;
    const FileNameMap *list = what == BibleKind ? &gBibles : what == CommentaryKind ? &gCommentaries : nullptr;
    if (list) {
        FileName = list->FileNames(i);
        DisplayName = list->DisplayName(i);
        CodePage = list->CodePage(i);
    }
    if (CodePage == 0 && FileName.contains(QLatin1String("_utf8")))
        CodePage = 65001;
    LoadIndexFile();
}

void Translation::RedloadIndex()
{
    LoadIndexFile();
}

void Translation::CreateIndexFile(const QString &folder, const QString &fileName)
{
    const QString indexPath = gIndexFolder + fileName + QStringLiteral(".INDEX");
    if (indexesBeingBuilt().contains(indexPath))
        return;
    indexesBeingBuilt().insert(indexPath);
    try {
        frmMessages().MsgAddMessage(QStringLiteral("Creating index for ") + DisplayName + QStringLiteral(" (")
                                        + fileName + QStringLiteral(")..."),
                                    true, true);
        const QStringList lines = BuildIndexLines(TextFiles::readAll(folder + fileName), fileName);
        // Written beside its final name and renamed when complete: a failed build
        // leaves no partial index behind.
        TextFiles::writeAtomically(indexPath, TextFiles::encodeLines(lines, 1252));
        frmMessages().MsgAddMessage(QStringLiteral("  Done.") + CRLF, true, true);
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
        ShowUnexpectedError(QStringLiteral("Translation.CreateIndexFile"),
                            QStringLiteral("Error creating Index File") + CRLF + folder + fileName + CRLF
                                + QStringLiteral("OR") + CRLF + indexPath);
    }
    indexesBeingBuilt().remove(indexPath);
}

void Translation::ClearTables()
{
    m_records.clear();
    m_bookFirst.fill(0);
    m_bookLast.fill(0);
}

bool Translation::ReadIndex(QString *problem)
{
    ClearTables();
    TextReader reader = TextReader::fromFile(IndexPath());
    while (!reader.atEnd()) {
        const QString line = reader.readLine();
        const QStringList values = line.split(QLatin1Char(','));
        ChapterRecord r;
        bool ok = values.size() == 7;
        qint32 *fields[] = {&r.firstLine, &r.lastLine, &r.book, &r.chapter, &r.verseCount, &r.startOffset, &r.endOffset};
        for (int f = 0; ok && f < 7; ++f) {
            const std::optional<qint32> value = VbConvert::toInt32(values[f]);
            ok = value.has_value() && *value >= 0;
            if (ok)
                *fields[f] = *value;
        }
        if (!ok || r.book < 1 || r.book > MaxBook) {
            *problem = QStringLiteral("line %1 is damaged: '%2'").arg(reader.lineNumber()).arg(line);
            ClearTables();
            return false;
        }
        m_records.push_back(r);
    }
    if (m_records.empty()) {
        *problem = QStringLiteral("the index is empty");
        return false;
    }
    const QFileInfo module(FileNames::resolve(ModulePath()));
    if (module.exists() && m_records.back().endOffset != module.size() + 1) {
        *problem = QStringLiteral("the index does not match the module file");
        ClearTables();
        return false;
    }
    for (qint32 i = 0; i < qint32(m_records.size()); ++i) {
        const ChapterRecord &r = m_records[size_t(i)];
        if (isPlaceholder(r))
            continue;
        if (!m_bookFirst[size_t(r.book)])
            m_bookFirst[size_t(r.book)] = i + 1;
        m_bookLast[size_t(r.book)] = i + 1;
    }
    return true;
}

void Translation::LoadIndexFile()
{
    ClearTables();
    if (!FileFunctions_::FileExists(IndexPath()))
        CreateIndexFile(ModuleFolder(), FileName);
    if (!FileFunctions_::FileExists(IndexPath())) {
        AssertFailed(QStringLiteral(".INDEX file not created! ") + IndexPath());
        return;
    }
    TrapErrors(QStringLiteral("Translation.LoadIndexFile()"), [&] {
        QString problem;
        if (ReadIndex(&problem))
            return;
        // A stale or damaged index is rebuilt once from the module.
        QFile::remove(FileNames::resolve(IndexPath()));
        CreateIndexFile(ModuleFolder(), FileName);
        if (!FileFunctions_::FileExists(IndexPath()) || ReadIndex(&problem))
            return;
        raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.Translation"),
                   QStringLiteral("Error loading ") + IndexPath() + QStringLiteral(": ") + problem);
    });
}

const ChapterRecord *Translation::FindChapter(int book, int chapter) const
{
    if (book < 1 || book > MaxBook || chapter < 1)
        return nullptr;
    const qint32 first = m_bookFirst[size_t(book)];
    if (!first)
        return nullptr;
    const qint32 index = first + chapter - 1;
    if (index > m_bookLast[size_t(book)])
        return nullptr;
    const ChapterRecord &r = m_records[size_t(index - 1)];
    return r.book == book && r.chapter == chapter ? &r : nullptr;
}

bool Translation::BookByteRange(int book, qint32 *start, qint32 *end) const
{
    if (book < 1 || book > MaxBook || !m_bookFirst[size_t(book)])
        return false;
    *start = m_records[size_t(m_bookFirst[size_t(book)] - 1)].startOffset;
    *end = m_records[size_t(m_bookLast[size_t(book)] - 1)].endOffset;
    return true;
}

qint16 Translation::GetNumChapters(qint16 ibook) const
{
    if (ibook < 0 || ibook > 66)
        raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.Translation.GetNumChapters"));
    if (ibook == 0 || !m_bookLast[size_t(ibook)])
        return 0;
    return qint16(m_records[size_t(m_bookLast[size_t(ibook)] - 1)].chapter);
}

qint16 Translation::GetNumVerses(qint16 ibook, qint16 ichapter) const
{
    const ChapterRecord *r = FindChapter(ibook, ichapter);
    return r ? qint16(r->verseCount) : 0;
}
