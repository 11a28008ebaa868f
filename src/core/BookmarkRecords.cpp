#include "core/BookmarkRecords.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"

#include "platform/CodePage.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"
#include "platform/Seams.h"
#include "platform/TextFile.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QHash>
#include <QLockFile>
#include <QSet>
#include <QThread>
#include <algorithm>
#include <chrono>
#include <optional>

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString Extension = QStringLiteral(".rtf");
constexpr int FieldCount = 5;
// Catalog texts: the record file is damaged (the records lost follow it); its
// copy could not be made yet.
constexpr int DamagedFileMsg = 270;
constexpr int CopyNotMadeMsg = 262;

QString recordSource()
{
    return QStringLiteral("Verbanox.BookmarkRecords");
}

// The record file as it is now, before it is replaced; nothing when it is
// missing. One that cannot be read is not replaced: RuntimeError 75.
std::optional<QByteArray> readBeforeReplacing()
{
    try {
        return TextFiles::readAll(BookmarkRecords::RecordFile());
    } catch (const RuntimeError &e) {
        if (e.number() != RtErr::FileNotFound)
            raiseError(RtErr::PathFileAccessError, recordSource(),
                       QStringLiteral("%1 could not be read, so it is not replaced: %2")
                           .arg(BookmarkRecords::RecordFile(), e.description()));
    }
    return std::nullopt;
}

// A record as the file keeps it: no double quote inside the texts, none in the name.
QVariantList fileFields(const BookmarkRecord &record)
{
    QVariantList fields;
    for (int i = 0; i < FieldCount - 1; ++i)
        fields.append(QString(record.field(i)).replace(QLatin1Char('"'), QLatin1Char('\'')));
    fields.append(QString(record.fileName).remove(QLatin1Char('"')));
    return fields;
}
} // namespace

QString BookmarkRecord::field(int index) const
{
    switch (index) {
    case 0:
        return title;
    case 1:
        return category;
    case 2:
        return dateAdded;
    case 3:
        return reference;
    case 4:
        return fileName;
    default:
        raiseError(RtErr::SubscriptOutOfRange, recordSource());
    }
}

size_t qHash(const BookmarkRecord &record, size_t seed)
{
    return qHashMulti(seed, record.title, record.category, record.dateAdded, record.reference,
                      record.fileName);
}

BookmarkRecords &BookmarkRecords::Instance()
{
    static BookmarkRecords records;
    Seams::OnReset(&records, [] { records.Clear(); });
    return records;
}

void BookmarkRecords::Append(const BookmarkRecord &record)
{
    m_rows.append(record);
    Changed();
}

void BookmarkRecords::Replace(int row, const BookmarkRecord &record)
{
    if (row < 0 || row >= Count())
        raiseError(RtErr::SubscriptOutOfRange, recordSource());
    m_rows[row] = record;
    Changed();
}

void BookmarkRecords::Remove(int row)
{
    if (row < 0 || row >= Count())
        raiseError(RtErr::SubscriptOutOfRange, recordSource());
    m_rows.removeAt(row);
    Changed();
}

void BookmarkRecords::Sort(int field, bool descending)
{
    std::stable_sort(m_rows.begin(), m_rows.end(), [=](const BookmarkRecord &a, const BookmarkRecord &b) {
        const int order =
            QString::localeAwareCompare(a.field(field).toCaseFolded(), b.field(field).toCaseFolded());
        return descending ? order > 0 : order < 0;
    });
    Changed();
}

void BookmarkRecords::Clear()
{
    *this = BookmarkRecords();
}

QString BookmarkRecords::RecordFile()
{
    return gUserDataFolder + QStringLiteral("Bookmarks.txt");
}

QString BookmarkRecords::DocumentFolder()
{
    return gUserDataFolder + QStringLiteral("Bookmarks/");
}

// --- Reading -----------------------------------------------------------------

void BookmarkRecords::LoadBookmarks()
{
    BookmarkRecords &records = Instance();
    if (gBookmarksLoaded || records.m_readDone || records.m_changed)
        return;
    const bool whole = records.Read();
    gLastAddedBookmarkRow = records.Count() - 1;
    gBookmarksLoaded = whole;
}

bool BookmarkRecords::Read()
{
    m_rows.clear();
    m_base.clear();
    m_baseBytes.clear();
    QByteArray bytes;
    QStringList problems;
    m_originalRead = false;
    try {
        bytes = TextFiles::readAll(RecordFile());
        m_originalRead = true;
    } catch (const RuntimeError &e) {
        // The first run has no file: an empty list, and no message.
        if (e.number() == RtErr::FileNotFound)
            return false;
        problems.append(QStringLiteral("the file cannot be read: ") + e.description());
    }
    m_readDone = true;
    if (m_originalRead)
        m_rows = ParseRecords(bytes, &problems);
    m_base = m_rows;
    m_baseBytes = bytes;
    if (problems.isEmpty())
        return true;
    m_damaged = true;
    m_original = bytes;
    QString whyNoCopy;
    try {
        KeepDamagedOriginal();
    } catch (const RuntimeError &e) {
        // Tried again before the file is next written, which waits for it.
        Bug_::NoteIgnoredError(e);
        whyNoCopy = e.description();
    }
    TellDamage(problems, m_damagedCopy, whyNoCopy);
    return false;
}

QList<BookmarkRecord> BookmarkRecords::ParseRecords(const QByteArray &bytes, QStringList *problems)
{
    QList<BookmarkRecord> rows;
    RecordReader reader = RecordReader::fromBytes(bytes, CodePage::Ansi);
    const auto where = [&reader] {
        return QStringLiteral("record %1 (line %2): ").arg(reader.recordNumber()).arg(reader.recordLine());
    };
    for (;;) {
        const bool atEnd = reader.atEnd();
        problems->append(reader.takeSkippedRecords());
        if (atEnd)
            break;
        const QStringList fields = reader.readRecord();
        if (fields.size() != FieldCount) {
            problems->append(where() +
                             QStringLiteral("%1 fields instead of %2").arg(fields.size()).arg(FieldCount));
        } else if (!IsPlainFileName(fields[4])) {
            QString shown = fields[4];
            shown.replace(QChar(0), QStringLiteral("\\0"));
            problems->append(where() +
                             QStringLiteral("the document name \"%1\" is not a plain file name, so the "
                                            "document was not used")
                                 .arg(shown));
        } else {
            rows.append({fields[0], fields[1], fields[2], fields[3], fields[4]});
        }
    }
    return rows;
}

void BookmarkRecords::TellDamage(const QStringList &problems, const QString &copy, const QString &whyNoCopy)
{
    const QString kept = copy.isEmpty() ? GetMsg(0, CopyNotMadeMsg, whyNoCopy) : copy;
    desktop().messageBox(MsgSupport::GetMsgListing(DamagedFileMsg, RecordFile(), problems) + CRLF + CRLF +
                             kept,
                         MsgBoxStyle::Exclamation, QString());
}

// --- Writing -----------------------------------------------------------------

void BookmarkRecords::KeepDamagedOriginal()
{
    if (!m_damaged)
        return;
    QByteArray bytes = m_original;
    if (!m_originalRead) {
        const std::optional<QByteArray> now = readBeforeReplacing();
        if (!now) {
            m_damaged = false; // gone meanwhile: nothing left to keep
            return;
        }
        bytes = *now;
    }
    m_damagedCopy = TextFiles::keepCopy(RecordFile(), bytes);
    m_damaged = false;
    m_original.clear();
}

QByteArray BookmarkRecords::FileBytes(const QList<BookmarkRecord> &rows)
{
    QString text;
    for (const BookmarkRecord &record : rows)
        text += RecordWriter::formatRecord(fileFields(record)) + CRLF;
    // The file is in the ANSI code page; a text it cannot hold would be lost, so
    // such a list is written in UTF-8 with a byte-order mark, which reads back.
    const bool ansi = CodePage::canEncode(text, CodePage::SystemAnsi);
    return ansi ? CodePage::encode(text, CodePage::Ansi) : QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

QList<BookmarkRecord> BookmarkRecords::MergedWith(const QByteArray &current, QStringList *problems,
                                                  QList<BookmarkRecord> *removed)
{
    const QList<BookmarkRecord> theirs = ParseRecords(current, problems);
    // What the other writer left damaged is kept before it is replaced.
    if (!problems->isEmpty())
        m_damagedCopy = TextFiles::keepCopy(RecordFile(), current);
    // Identical records are told apart by their number only.
    QHash<BookmarkRecord, int> inBase, inTheirs;
    for (const BookmarkRecord &record : m_base)
        ++inBase[record];
    for (const BookmarkRecord &record : theirs)
        ++inTheirs[record];
    // A row read from the file that the other writer took out (deleted, or
    // changed into another) goes; a row of this list's own stays.
    QList<bool> kept;
    QList<qsizetype> gone;
    for (const BookmarkRecord &record : m_rows) {
        const bool wasRead = inBase.value(record) > 0;
        const bool stillThere = inTheirs.value(record) > 0;
        if (wasRead)
            --inBase[record];
        if (stillThere)
            --inTheirs[record];
        kept.append(stillThere || !wasRead);
        if (!kept.last())
            gone.append(kept.size() - 1);
    }
    KeepDamagedRows(problems->isEmpty() ? QStringList() : DamagedLines(current), gone, &kept);
    QList<BookmarkRecord> merged;
    for (qsizetype row = 0; row < m_rows.size(); ++row) {
        if (kept[row])
            merged.append(m_rows[row]);
        else
            removed->append(m_rows[row]);
    }
    for (const BookmarkRecord &record : theirs) {
        if (inTheirs.value(record) == 0)
            continue;
        --inTheirs[record];
        // Read before and removed here since: it stays removed. Else the other writer added it.
        if (inBase.value(record) > 0)
            --inBase[record];
        else
            merged.append(record);
    }
    return merged;
}

QStringList BookmarkRecords::DamagedLines(const QByteArray &bytes)
{
    QStringList damaged;
    TextReader lines = TextReader::fromBytes(bytes, CodePage::Ansi);
    while (!lines.atEnd()) {
        const QString line = lines.readLine();
        RecordReader reader = RecordReader::fromBytes(line.toUtf8(), CodePage::Utf8);
        bool whole = true;
        if (!reader.atEnd()) {
            const QStringList fields = reader.readRecord();
            whole = fields.size() == FieldCount && IsPlainFileName(fields[4]) && reader.atEnd();
        }
        if (!whole || !reader.takeSkippedRecords().isEmpty())
            damaged.append(line);
    }
    return damaged;
}

// A row that the file no longer holds whole stays when a line that cannot be
// read names it (its title or its document): that line may be the row,
// damaged, rather than deleted. A damaged line that names none of them may be
// any of them, so then they all stay.
void BookmarkRecords::KeepDamagedRows(const QStringList &damagedLines, const QList<qsizetype> &gone,
                                      QList<bool> *kept) const
{
    for (const QString &line : damagedLines) {
        bool named = false;
        for (const qsizetype row : gone) {
            const QVariantList asWritten = fileFields(m_rows[row]);
            const QString title = asWritten[0].toString();
            const QString document = asWritten[FieldCount - 1].toString();
            if (line.contains(QLatin1Char('"') + title) || (!document.isEmpty() && line.contains(document))) {
                (*kept)[row] = true;
                named = true;
            }
        }
        if (!named)
            for (const qsizetype row : gone)
                (*kept)[row] = true;
    }
}

namespace {
// Waits while another writer saves the list. A lock older than any save was
// left behind, here or on another machine, and QLockFile gives it up; one
// still held after that belongs to a writer that is stuck, and the list is
// not written over it. A folder that cannot hold the lock file cannot take the
// list either, which the writing then tells.
void takeSavingLock(QLockFile &lock)
{
    using namespace std::chrono;
    constexpr milliseconds LongestSave(BookmarkRecords::LongestSaveMs);
    constexpr milliseconds Poll(20);
    lock.setStaleLockTime(LongestSave);
    const QDeadlineTimer deadline(LongestSave + LongestSave / 5);
    while (!lock.tryLock(0)) {
        if (lock.error() != QLockFile::LockFailedError)
            return;
        if (deadline.hasExpired()) {
            qint64 pid = 0;
            QString host, application;
            lock.getLockInfo(&pid, &host, &application);
            raiseError(RtErr::PathFileAccessError, recordSource(),
                       QStringLiteral("%1 is held by process %2 on %3, which has been saving the list for "
                                      "longer than a save takes; try again when it has ended")
                           .arg(lock.fileName())
                           .arg(pid)
                           .arg(host));
        }
        QThread::msleep(Poll.count());
    }
}
} // namespace

bool BookmarkRecords::Save(QList<BookmarkRecord> *removedElsewhere)
{
    // Two writers saving at once would each miss what the other adds: one
    // reads, merges and writes before the other does.
    QLockFile saving(RecordFile() + QStringLiteral(".lock"));
    takeSavingLock(saving);
    KeepDamagedOriginal();
    QList<BookmarkRecord> rows = m_rows;
    QList<BookmarkRecord> removed;
    QStringList damage; // in the file as the other writer left it
    // A file taken away holds nobody else's rows to keep.
    const std::optional<QByteArray> current = readBeforeReplacing();
    if (current && *current != m_baseBytes)
        rows = MergedWith(*current, &damage, &removed);
    const QByteArray bytes = FileBytes(rows);
    TextFiles::writeAtomically(RecordFile(), bytes);
    const bool merged = rows != m_rows;
    if (merged)
        m_rows = rows;
    m_base = rows;
    m_baseBytes = bytes;
    if (removedElsewhere)
        *removedElsewhere = removed;
    // The other writer does not wait while the reader reads the message.
    saving.unlock();
    if (!damage.isEmpty())
        TellDamage(damage, m_damagedCopy, QString());
    return merged;
}

// --- Document names ----------------------------------------------------------

bool BookmarkRecords::IsPlainFileName(const QString &name)
{
    return FileNames::isPlainFileName(name) && !name.contains(QLatin1Char('"'));
}

QString BookmarkRecords::DocumentPath(const QString &fileName)
{
    if (!IsPlainFileName(fileName))
        raiseError(
            RtErr::BadFileNameOrNumber, recordSource(),
            QStringLiteral("The bookmark document name \"%1\" is not a plain file name.").arg(fileName));
    return DocumentFolder() + fileName;
}

QString BookmarkRecords::FileNameFromTitle(const QString &title)
{
    // The file system takes any character but "/" and NUL, in at most 255 bytes
    // of UTF-8: a title keeps its letters in any script, and room is left for
    // the number that makes a name unique.
    constexpr qsizetype MaxStemBytes = 200;
    QString base;
    qsizetype bytes = 0;
    for (const char32_t c : title.toUcs4()) {
        const bool kept = QChar::isLetterOrNumber(c) || QChar::isMark(c) || c == U'_' || c == U'.';
        // A run of dots becomes one: ".." is never part of a document name.
        if (!kept || (c == U'.' && base.endsWith(QLatin1Char('.'))))
            continue;
        const QString character = QString::fromUcs4(&c, 1);
        bytes += character.toUtf8().size();
        if (bytes > MaxStemBytes)
            break;
        base += character;
    }
    while (base.startsWith(QLatin1Char('.')))
        base.remove(0, 1);
    while (base.endsWith(QLatin1Char('.')))
        base.chop(1);
    if (base.isEmpty())
        base = QStringLiteral("bookmark");
    return base + Extension;
}

QString BookmarkRecords::NumberedName(const QString &wanted, int number)
{
    if (number <= 1)
        return wanted;
    QString stem = wanted;
    if (stem.endsWith(Extension, Qt::CaseInsensitive))
        stem.chop(Extension.size());
    return stem + QLatin1Char('_') + QString::number(number) + wanted.mid(stem.size());
}

QSet<QString> BookmarkRecords::NamesInUse() const
{
    QSet<QString> names;
    // Read as the folder is now, unsorted: a list of thousands is read at every Add.
    const QDir folder(FileNames::resolve(DocumentFolder()));
    for (const QString &name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Unsorted))
        names.insert(name.toCaseFolded());
    for (const BookmarkRecord &record : m_rows)
        names.insert(record.fileName.toCaseFolded());
    return names;
}

QString BookmarkRecords::UniqueFileName(const QString &wanted, int ownRow) const
{
    const QString ownName =
        ownRow >= 0 && ownRow < Count() ? m_rows[ownRow].fileName.toCaseFolded() : QString();
    const bool ownNameFree = !ownName.isEmpty() && !DocumentShared(ownRow);
    const QSet<QString> taken = NamesInUse();
    const auto isTaken = [&](const QString &name) {
        const QString folded = name.toCaseFolded();
        return taken.contains(folded) && !(ownNameFree && folded == ownName);
    };
    int number = 1;
    while (isTaken(NumberedName(wanted, number)))
        ++number;
    return NumberedName(wanted, number);
}

int BookmarkRecords::FindTitle(const QString &title) const
{
    for (int row = 0; row < Count(); ++row)
        if (m_rows[row].title.compare(title, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

int BookmarkRecords::FindDocument(const QString &fileName) const
{
    for (int row = 0; row < Count(); ++row)
        if (m_rows[row].fileName.compare(fileName, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

bool BookmarkRecords::DocumentShared(int row) const
{
    if (row < 0 || row >= Count())
        return false;
    for (int other = 0; other < Count(); ++other)
        if (other != row && m_rows[other].fileName.compare(m_rows[row].fileName, Qt::CaseInsensitive) == 0)
            return true;
    return false;
}
