#include "core/Translation.h"
#include "core/BibleBookNames.h"
#include "core/BinaryStreamHelpers_.h"
#include "core/BinaryStream_.h"
#include "core/Bug_.h"
#include "core/CharMapper.h"
#include "core/FileFunctions_.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/ReadingPane.h"
#include "core/WinApi_New_.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

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

QString indexLine(qint32 firstLine, qint32 lastLine, qint32 book, qint32 chapter, qint32 count, qint32 start,
                  qint32 end)
{
    return QStringLiteral("%1,%2,%3,%4,%5,%6,%7")
        .arg(firstLine)
        .arg(lastLine)
        .arg(book)
        .arg(chapter)
        .arg(count)
        .arg(start)
        .arg(end);
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
            raiseError(
                RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.Translation"),
                QStringLiteral(
                    "Line %1 of %2 ends with a line feed alone; the lines of a module must end with CR LF.")
                    .arg(lineCount)
                    .arg(fileName));
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
                             .arg(lineCount)
                             .arg(fileName)
                             .arg(lineNumber)
                             .arg(book)
                             .arg(chapter)
                             .arg(verse));
        if (fieldCount < 4)
            raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.Translation"),
                       QStringLiteral("Line %1 of %2 has only %3 fields")
                           .arg(lineCount)
                           .arg(fileName)
                           .arg(fieldCount));
        ++counter;
        lineNumber = fieldNumber(fieldBegin[0], fieldEnd[0], fileName, lineCount);
        if (lineNumber != lineCount)
            AssertFailed(QStringLiteral("ILINE: %1 (%2) %3:%4:%5")
                             .arg(fileName)
                             .arg(lineNumber)
                             .arg(book)
                             .arg(chapter)
                             .arg(verse));
        book = fieldNumber(fieldBegin[1], fieldEnd[1], fileName, lineCount);
        chapter = fieldNumber(fieldBegin[2], fieldEnd[2], fileName, lineCount);
        const qint32 previousVerse = verse;
        verse = fieldNumber(fieldBegin[3], fieldEnd[3], fileName, lineCount);
        pos = next;
        if (book == curBook && chapter == curChapter)
            continue;
        if (previousVerse != counter - 1)
            AssertFailed(QStringLiteral("IVERS: Error in verse numbering at or near: BIBLE=%1, LINE=%2, "
                                        "BOOK=%3, CHAPTER=%4, VERSE=%5")
                             .arg(fileName)
                             .arg(lineNumber)
                             .arg(book)
                             .arg(chapter)
                             .arg(verse));
        lines.append(indexLine(chapterFirstLine, lineNumber - 1, curBook, curChapter, counter - 1,
                               chapterStart, position));
        counter = 1;
        chapterFirstLine = lineNumber;
        chapterStart = position;
        curBook = book;
        curChapter = chapter;
    }
    lines.append(
        indexLine(chapterFirstLine, lineNumber, curBook, curChapter, counter, chapterStart, qint32(n + 1)));
    return lines;
}

QString Translation::ModuleFolder() const
{
    switch (WHAT_) {
    case BibleKind:
        return gBibleFolder;
    case CommentaryKind:
        return gCommentaryFolder;
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
    const FileNameMap *list = what == BibleKind        ? &gBibles
                              : what == CommentaryKind ? &gCommentaries
                                                       : nullptr;
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
        ProgressMessages().MsgAddMessage(QStringLiteral("Creating index for ") + DisplayName +
                                             QStringLiteral(" (") + fileName + QStringLiteral(")..."),
                                         true, true);
        const QStringList lines = BuildIndexLines(TextFiles::readAll(folder + fileName), fileName);
        // Written beside its final name and renamed when complete: a failed build
        // leaves no partial index behind.
        TextFiles::writeAtomically(indexPath, TextFiles::encodeLines(lines, 1252));
        ProgressMessages().MsgAddMessage(QStringLiteral("  Done.") + CRLF, true, true);
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
        ShowUnexpectedError(QStringLiteral("Translation.CreateIndexFile"),
                            QStringLiteral("Error creating Index File") + CRLF + folder + fileName + CRLF +
                                QStringLiteral("OR") + CRLF + indexPath);
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
        qint32 *fields[] = {&r.firstLine,  &r.lastLine,    &r.book,     &r.chapter,
                            &r.verseCount, &r.startOffset, &r.endOffset};
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
    TrapErrors(QStringLiteral("Translation.LoadIndexFile()"), QStringLiteral("Error loading ") + IndexPath(),
               [&] {
                   QString problem;
                   if (ReadIndex(&problem))
                       return;
                   // A stale or damaged index is rebuilt once from the module.
                   QFile::remove(FileNames::resolve(IndexPath()));
                   CreateIndexFile(ModuleFolder(), FileName);
                   if (!FileFunctions_::FileExists(IndexPath()) || ReadIndex(&problem))
                       return;
                   raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.Translation"),
                              QStringLiteral("The index cannot be used: ") + problem);
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

bool Translation::RangeByteSpan(int book1, int chapter1, int book2, int chapter2, qint32 *start,
                                qint32 *end) const
{
    // Records run in module order; the span starts at the first chapter at or after
    // (book1, chapter1) and ends with the last one at or before (book2, chapter2).
    const auto key = [](int book, int chapter) { return qint64(book) * 100000 + chapter; };
    const qint64 from = key(book1, chapter1 == 0 ? 1 : chapter1);
    const qint64 to = key(book2, chapter2 == 0 ? 99999 : chapter2);
    const ChapterRecord *first = nullptr;
    const ChapterRecord *last = nullptr;
    for (const ChapterRecord &r : m_records) {
        if (isPlaceholder(r))
            continue;
        const qint64 k = key(r.book, r.chapter);
        if (k >= from && k <= to) {
            if (!first)
                first = &r;
            last = &r;
        }
    }
    if (!first)
        return false;
    *start = first->startOffset;
    *end = last->endOffset;
    return *end > *start;
}

namespace {
// Splits a module line into its numbers and its text (Tab-separated, at most five fields).
bool splitModuleLine(const QString &line, int *book, int *chapter, int *verse, QString *text)
{
    qsizetype tabs[4];
    qsizetype from = 0;
    for (int i = 0; i < 4; ++i) {
        tabs[i] = line.indexOf(QLatin1Char('\t'), from);
        if (tabs[i] < 0)
            return false;
        from = tabs[i] + 1;
    }
    bool ok1 = false, ok2 = false, ok3 = false;
    *book = QStringView(line).mid(tabs[0] + 1, tabs[1] - tabs[0] - 1).toInt(&ok1);
    *chapter = QStringView(line).mid(tabs[1] + 1, tabs[2] - tabs[1] - 1).toInt(&ok2);
    *verse = QStringView(line).mid(tabs[2] + 1, tabs[3] - tabs[2] - 1).toInt(&ok3);
    if (!(ok1 && ok2 && ok3))
        raiseError(RtErr::TypeMismatch, QStringLiteral("Verbanox.Translation"),
                   QStringLiteral("Not a module line: ") + line.left(80));
    *text = line.mid(tabs[3] + 1);
    return true;
}

// A text for an RTF body: backslash and braces escaped, characters outside ASCII
// as \uN with a "?" for readers that do not know it.
QString rtfEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == u'\r' || u == u'\n') {
            continue;
        } else if (u < 0x80) {
            out += c;
        } else {
            out += QStringLiteral("\\u%1?").arg(qint16(u));
        }
    }
    return out;
}

const QString QuoteSet = QStringLiteral("\u201C\u201D\u2018\u2019");
} // namespace

void Translation::BookContentsIntoNewRichEdit(ReadingPane &rt, int ibook, bool fancyFormatting,
                                              bool smartQuotes, bool smartDash)
{
    const QString headingWord = GetMsg(0, 107);
    WaitCursor wait;
    rt.BeginFill();
    TrapErrors(
        QStringLiteral("Translation.BookContentsIntoNewRichEdit()"),
        QStringLiteral("Error reading ") + ModulePath(), [&] {
            if (ibook < 1 || ibook > 66) {
                AssertFailed(QStringLiteral("Illegal ibook used:  ibook=") + QString::number(ibook));
                return;
            }
            qint32 start = 0, end = 0;
            if (!BookByteRange(ibook, &start, &end))
                return; // a book the module lacks shows nothing
            {
                std::unique_ptr<BinaryStream_> stream = BinaryStreamHelpers_::OpenBinaryStream(ModulePath());
                stream->SeekStream(start);
                int lastBook = 0, lastChapter = 0;
                while (stream->CurrentBytePosition() < end) {
                    const ByteBuffer_ &buffer = stream->ReadLine();
                    if (buffer.CurrentBufferUsedSize() == 0)
                        break;
                    const QString line = WinApi_New_::BytesToUnicode(buffer, CodePage);
                    int book = 0, chapter = 0, verse = 0;
                    QString text;
                    if (!splitModuleLine(line, &book, &chapter, &verse, &text)) {
                        AssertFailed(QStringLiteral("BAD LINE IN FILE: ") + ModulePath() +
                                     QStringLiteral(": ") + line);
                        continue;
                    }
                    if (book > ibook)
                        break;
                    if (book != ibook)
                        continue;
                    if (Mapper)
                        Mapper->AlterString(text);
                    if (!fancyFormatting) {
                        rt.AppendPlainText(BookNames().Abbreviation(qint16(book)) + QLatin1Char(' ') +
                                           QString::number(chapter) + QLatin1Char(':') +
                                           QString::number(verse) + QLatin1Char(' ') + text);
                        continue;
                    }
                    if (smartQuotes)
                        rt.SmartQuotes(text, QuoteSet);
                    if (smartDash)
                        rt.FixSpacesAndDashes(text);
                    if (book == lastBook && chapter == lastChapter) {
                        rt.AppendFormattedText(QString::number(verse), QStringLiteral("VerseNumber"));
                        rt.AppendFormattedText(text, QStringLiteral("normal"));
                        continue;
                    }
                    lastBook = book;
                    lastChapter = chapter;
                    if (book == 19) {
                        rt.AppendFormattedText(headingWord + QLatin1Char(' ') + QString::number(chapter) +
                                                   QStringLiteral("\r\n"),
                                               QStringLiteral("Chapter"));
                        rt.AppendFormattedText(QString::number(verse), QStringLiteral("VerseNumber"));
                    } else if (chapter == 1) {
                        rt.AppendFormattedText(BookNames().FullName(qint16(book)) + QStringLiteral("\r\n1"),
                                               QStringLiteral("Chapter"));
                        rt.AppendFormattedText(QStringLiteral(" "), QStringLiteral("normal"));
                    } else {
                        rt.AppendFormattedText(QString::number(chapter), QStringLiteral("Chapter"));
                        rt.AppendFormattedText(QStringLiteral(" "), QStringLiteral("normal"));
                    }
                    rt.AppendFormattedText(text, QStringLiteral("normal"));
                }
            }
        });
    // A pane that failed above must still be shown again.
    IgnoreErrors([&] { rt.SetSelection(0, 0); });
    rt.EndFill();
}

QString Translation::BookContents(int ibook, bool asRtf)
{
    WaitCursor wait;
    QString result;
    TrapErrors(
        QStringLiteral("Translation.BookContents()"), QStringLiteral("Error reading ") + ModulePath(), [&] {
            const QString headingWord = GetMsg(0, 107);
            QStringList out;
            if (asRtf)
                out.append(QStringLiteral("{\\rtf1\\ansi"));
            qint32 start = 0, end = 0;
            if (ibook < 1 || ibook > 66)
                AssertFailed(QStringLiteral("Illegal ibookReturn used:  ibookReturn=") +
                             QString::number(ibook));
            else if (BookByteRange(ibook, &start, &end)) {
                const QByteArray bytes = TextFiles::readAll(ModulePath()).mid(start - 1, end - start);
                TextReader reader =
                    TextReader::fromBytes(bytes, CodePage == 0 ? 1252 : CodePage, LineEnds::CrLfOnly);
                int lastBook = 0, lastChapter = 0;
                while (!reader.atEnd()) {
                    int book = 0, chapter = 0, verse = 0;
                    QString text;
                    if (!splitModuleLine(reader.readLine(), &book, &chapter, &verse, &text) || book != ibook)
                        continue;
                    if (Mapper)
                        Mapper->AlterString(text);
                    const QString v = QString::number(verse);
                    const QString c = QString::number(chapter);
                    if (!asRtf) {
                        out.append(BookNames().Abbreviation(qint16(book)) + QLatin1Char(' ') + c +
                                   QLatin1Char(':') + v + QLatin1Char(' ') + text);
                        continue;
                    }
                    const QString body = rtfEscaped(text);
                    if (book == lastBook && chapter == lastChapter)
                        out.append(QStringLiteral("{\\super ") + v + QLatin1Char('}') + body +
                                   QStringLiteral("\\par "));
                    else if (book == 19)
                        out.append(QStringLiteral("{\\b\\fs40 ") + rtfEscaped(headingWord) +
                                   QLatin1Char(' ') + c + QStringLiteral("}\\par{\\super ") + v +
                                   QLatin1Char('}') + body + QStringLiteral("\\par "));
                    else if (chapter == 1)
                        out.append(QStringLiteral("{\\b\\fs40 ") +
                                   rtfEscaped(BookNames().FullName(qint16(book))) +
                                   QStringLiteral("\\par 1} ") + body + QStringLiteral("\\par "));
                    else
                        out.append(QStringLiteral("{\\b\\fs40 ") + c + QStringLiteral("} ") + body +
                                   QStringLiteral("\\par "));
                    lastBook = book;
                    lastChapter = chapter;
                }
            }
            if (asRtf)
                out.append(QStringLiteral("}"));
            // The scratch copy is kept for whoever wants the book as a file.
            const QString scratch = gScratchFolder + QStringLiteral("BibTmp2_") + FileName;
            const int outCodePage = asRtf ? 1252 : (CodePage == 0 ? 1252 : CodePage);
            TextFiles::writeAtomically(scratch, TextFiles::encodeLines(out, outCodePage));
            result = CodePage::decode(TextFiles::readAll(scratch), outCodePage);
        });
    return result;
}

void Translation::CopyChapterIntoFile(const QString &path, int book1, int chapter1, int book2, int chapter2,
                                      bool overwrite)
{
    WaitCursor wait;
    TrapErrors(QStringLiteral("Translation.CopyChapterIntoFile()"),
               QStringLiteral("Error copying ") + FileName + QStringLiteral(" into ") + path, [&] {
                   QByteArray text;
                   qint32 start = 0, end = 0;
                   if (RangeByteSpan(book1, chapter1, book2, chapter2, &start, &end))
                       text = TextFiles::readAll(ModulePath()).mid(start - 1, end - start);
                   text += "\r\n";
                   QFile file(path);
                   const QIODevice::OpenMode mode = overwrite ? QIODevice::WriteOnly | QIODevice::Truncate
                                                              : QIODevice::WriteOnly | QIODevice::Append;
                   if (!file.open(mode) || file.write(text) != text.size() || !file.flush())
                       raiseError(RtErr::PathFileAccessError, QStringLiteral("Verbanox.Translation"),
                                  file.errorString());
               });
}

void Translation::CopyBookIntoFile(const QString &path, int book1, int book2, bool overwrite)
{
    CopyChapterIntoFile(path, book1, 0, book2, 0, overwrite);
}
