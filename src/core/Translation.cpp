#include "core/Translation.h"
#include "core/BookRenderer.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/IndexStamp.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/ReadingPane.h"
#include "core/ToldOnce.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <algorithm>
#include <functional>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// Index files being built right now; a request that arrives while events run
// during a build must not start a second build of the same file.
QSet<QString> &indexesBeingBuilt()
{
    static QSet<QString> building;
    return building;
}

// Catalog texts: a module whose lines end with a line feed alone, and the lines
// of a module that were skipped.
constexpr int LineFeedModuleMsg = 250;
constexpr int SkippedLinesMsg = 251;
// A module whose last line has no line end: most likely a file cut short.
constexpr int CutShortModuleMsg = 255;
// The lines shown for the text such a file lacks: a book it ends before, and
// the rest of the book it stops in.
constexpr int EndsBeforeBookMsg = 252;
constexpr int StopsHereMsg = 254;

// Whether the bytes at the end of a module file leave its last line without a
// line end: a file cut short, most likely by a download or copy that did not finish.
bool endsInMidLine(const QByteArray &end)
{
    return !end.isEmpty() && !end.endsWith("\r\n");
}

// The module files told of as cut short this run, each with its size and time:
// told at every start, once.
ToldOnce &cutShortFiles()
{
    static ToldOnce files;
    return files;
}

// The folders that could not take an index or a scratch copy this run.
ToldOnce &unwritableFolders()
{
    static ToldOnce folders;
    return folders;
}

// An index that cannot be stored: it is kept in memory, and the translation reads.
constexpr int IndexNotStoredMsg = 258;
// A scratch copy that cannot be written: nothing reads it back, the search goes on.
constexpr int ScratchNotWrittenMsg = 265;

// An index or a scratch copy that cannot be written (a full disk, a folder that
// cannot be written) is no fault of the program: the reader is told which file
// (in the catalog's message msgId) and the system's reason, not asked to report
// a bug. Every later file of that folder would fail alike, and none is needed to
// go on: it is told once a run.
void writeOrTell(const QString &path, qint32 msgId, const std::function<void()> &write)
{
    try {
        write();
    } catch (const RuntimeError &e) {
        if (unwritableFolders().First(QDir::cleanPath(QFileInfo(path).absolutePath())))
            Bug_::ReportFileFault(msgId, path, e.fileReason().isEmpty() ? e.description() : e.fileReason());
    }
}
} // namespace

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

void Translation::FolderToldOf(const QString &folder)
{
    unwritableFolders().Note(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
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

QStringList Translation::CreateIndexFile(const QString &folder, const QString &fileName)
{
    const QString indexPath = gIndexFolder + fileName + QStringLiteral(".INDEX");
    if (indexesBeingBuilt().contains(indexPath))
        return {};
    indexesBeingBuilt().insert(indexPath);
    QStringList index;
    try {
        ProgressMessages().MsgAddMessage(QStringLiteral("Creating index for ") + DisplayName +
                                             QStringLiteral(" (") + fileName + QStringLiteral(")..."),
                                         true, true);
        const QString module = FileNames::resolve(folder + fileName);
        // Taken before the file is read: a change while it is read shows at the next load.
        const IndexStamp stamp = IndexStamp::OfFile(module);
        const QByteArray bytes = TextFiles::readAll(folder + fileName);
        const ChapterIndex::Built built = ChapterIndex::Build(bytes, fileName);
        const IndexStamp kept = endsInMidLine(bytes.right(2)) ? stamp.CutShort() : stamp;
        if (built.lineFeedEnds) {
            // The file's fault, not the program's: say which file and why; no index
            // is made, so the module shows no text.
            desktop().messageBox(GetMsg(0, LineFeedModuleMsg, module), MsgBoxStyle::Exclamation, QString());
        } else {
            index = QStringList{kept.Line()} + built.lines;
            // Written beside its final name and renamed when complete: a failed build
            // leaves no partial index behind. The folder is made when missing: it is
            // created only at the first start of a version, and may have gone since.
            writeOrTell(indexPath, IndexNotStoredMsg, [&] {
                FileFunctions_::MakeFolder(gIndexFolder);
                TextFiles::writeAtomically(indexPath, TextFiles::encodeLines(index, 1252));
            });
            ReportDamage(module, kept, built.skipped);
        }
        ProgressMessages().MsgAddMessage(QStringLiteral("  Done.") + CRLF, true, true);
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
        ShowUnexpectedError(QStringLiteral("Translation.CreateIndexFile"),
                            QStringLiteral("Error creating Index File") + CRLF + folder + fileName + CRLF +
                                QStringLiteral("OR") + CRLF + indexPath);
        index.clear();
    }
    indexesBeingBuilt().remove(indexPath);
    return index;
}

void Translation::ReportDamage(const QString &path, const IndexStamp &stamp, const QStringList &skipped)
{
    QStringList parts;
    if (stamp.IsCutShort() && cutShortFiles().First(path + stamp.Line()))
        parts.append(GetMsg(0, CutShortModuleMsg, path));
    if (!skipped.isEmpty())
        parts.append(MsgSupport::GetMsgListing(SkippedLinesMsg, path, skipped));
    if (!parts.isEmpty())
        desktop().messageBox(parts.join(CRLF + CRLF), MsgBoxStyle::Exclamation, QString());
}

bool Translation::ReadIndex(QStringList lines, QString *problem)
{
    const QString module = FileNames::resolve(ModulePath());
    const std::optional<IndexStamp> stamp = IndexStamp::TakeFrom(lines);
    if (!stamp || !stamp->SameFile(IndexStamp::OfFile(module))) {
        *problem = QStringLiteral("the module changed since its index was built");
        return false;
    }
    // The module is in the state the stamp names: its size is the stamp's.
    if (!m_index.Load(lines, stamp->Size(), problem))
        return false;
    m_cutShort = stamp->IsCutShort();
    // Every start is told of a file cut short, not only the one that built its
    // index (that one told it as it built it: told once a run).
    if (m_cutShort)
        ReportDamage(module, *stamp, {});
    return true;
}

void Translation::LoadIndexFile()
{
    m_index.Clear();
    m_cutShort = false;
    TrapErrors(QStringLiteral("Translation.LoadIndexFile()"), QStringLiteral("Error loading ") + IndexPath(),
               [&] {
                   QString problem;
                   if (FileFunctions_::FileExists(IndexPath())) {
                       if (ReadIndex(TextReader::fromFile(IndexPath()).readAllLines(), &problem))
                           return;
                       // A stale or damaged index is rebuilt once from the module.
                       QFile::remove(FileNames::resolve(IndexPath()));
                   }
                   // Read as it was built: an index that could not be stored (a full
                   // disk, a folder that cannot be written) serves from memory this run.
                   const QStringList built = CreateIndexFile(ModuleFolder(), FileName);
                   if (built.isEmpty()) {
                       AssertFailed(QStringLiteral(".INDEX file not created! ") + IndexPath());
                       return;
                   }
                   if (!ReadIndex(built, &problem))
                       raiseError(RtErr::BadFileNameOrNumber, QStringLiteral("Verbanox.Translation"),
                                  QStringLiteral("The index cannot be used: ") + problem);
               });
}

const ChapterRecord *Translation::LastChapterHeld() const
{
    if (!HasIndex() || ChapterIndex::IsPlaceholder(Records().back()))
        return nullptr;
    return &Records().back();
}

bool Translation::CutShortBefore(int book) const
{
    if (!m_cutShort)
        return false;
    const ChapterRecord *last = LastChapterHeld();
    return book > (last ? last->book : 0);
}

bool Translation::StopsWithin(int book, int chapter, int verse) const
{
    const ChapterRecord *last = m_cutShort ? LastChapterHeld() : nullptr;
    if (!last || book != last->book || (chapter != 0 && chapter < last->chapter))
        return false;
    return chapter != last->chapter || verse == 0 || verse >= last->verseCount;
}

QString Translation::EndsBeforeLine() const
{
    return GetMsg(0, EndsBeforeBookMsg, FileNames::resolve(ModulePath()));
}

QString Translation::StopsHereLine() const
{
    return GetMsg(0, StopsHereMsg, FileNames::resolve(ModulePath()));
}

qint16 Translation::GetNumChapters(qint16 ibook) const
{
    if (ibook < 0 || ibook > 66)
        raiseError(RtErr::SubscriptOutOfRange, QStringLiteral("Verbanox.Translation.GetNumChapters"));
    return qint16(m_index.LastChapter(ibook));
}

qint16 Translation::GetNumVerses(qint16 ibook, qint16 ichapter) const
{
    const ChapterRecord *r = FindChapter(ibook, ichapter);
    return r ? qint16(r->verseCount) : 0;
}

void Translation::BookContentsIntoNewRichEdit(ReadingPane &rt, int ibook, bool fancyFormatting,
                                              bool smartQuotes, bool smartDash)
{
    WaitCursor wait;
    rt.BeginFill();
    TrapErrors(QStringLiteral("Translation.BookContentsIntoNewRichEdit()"),
               QStringLiteral("Error reading ") + ModulePath(), [&] {
                   if (ibook < 1 || ibook > 66) {
                       AssertFailed(QStringLiteral("Illegal ibook used:  ibook=") + QString::number(ibook));
                       return;
                   }
                   BookRenderer(*this).IntoPane(rt, ibook, fancyFormatting, smartQuotes, smartDash);
               });
    // A pane that failed above must still be shown again.
    IgnoreErrors([&] { rt.SetSelection(0, 0); });
    rt.EndFill();
}

QString Translation::BookContents(int ibook, bool asRtf)
{
    WaitCursor wait;
    QString result;
    TrapErrors(QStringLiteral("Translation.BookContents()"), QStringLiteral("Error reading ") + ModulePath(),
               [&] {
                   if (ibook < 1 || ibook > 66)
                       AssertFailed(QStringLiteral("Illegal ibookReturn used:  ibookReturn=") +
                                    QString::number(ibook));
                   // A book outside the Bible's has no verses: the RTF document stays empty.
                   const BookRenderer renderer(*this);
                   const QStringList out = asRtf ? renderer.RtfLines(ibook) : renderer.ReferenceLines(ibook);
                   // The scratch copy is kept for whoever wants the book as a file; the
                   // text is not read back from it, so a copy that cannot be written
                   // loses nothing.
                   const QString scratch = gScratchFolder + QStringLiteral("BibTmp2_") + FileName;
                   const int outCodePage = asRtf ? 1252 : (CodePage == 0 ? 1252 : CodePage);
                   IgnoreErrors([&] {
                       TextFiles::writeAtomically(scratch, TextFiles::encodeLines(out, outCodePage),
                                                  TextFiles::Durability::Unsynced);
                   });
                   for (const QString &line : out)
                       result += line + CRLF;
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
                   // Appending is done as a whole new file too: a failed write leaves the old one.
                   if (!overwrite && QFileInfo::exists(path))
                       text.prepend(TextFiles::readAll(path));
                   writeOrTell(path, ScratchNotWrittenMsg, [&] {
                       TextFiles::writeAtomically(path, text, TextFiles::Durability::Unsynced);
                   });
               });
}

void Translation::CopyBookIntoFile(const QString &path, int book1, int book2, bool overwrite)
{
    CopyChapterIntoFile(path, book1, 0, book2, 0, overwrite);
}
