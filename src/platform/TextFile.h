#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

// Sequential text files as the program reads and writes them: whole lines in a
// code page, and records of comma-separated fields with texts in double quotes.
// Files are read whole into memory and written atomically; no handle stays open.

enum class LineEnds {
    Any,      // CR LF, a lone CR or a lone LF each end a line
    CrLfOnly, // only CR LF ends a line; lone CR and LF bytes stay in the line
};

class TextReader
{
public:
    TextReader() = default;
    // A file that starts with a UTF-8 byte-order mark is read as UTF-8 whatever
    // the code page. Throws RuntimeError 53 when the file is missing, 75 when it
    // cannot be read.
    static TextReader fromFile(const QString &path, int codePage = 0, LineEnds ends = LineEnds::Any);
    static TextReader fromBytes(const QByteArray &bytes, int codePage = 0, LineEnds ends = LineEnds::Any);

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    // The next line without its line end. Throws RuntimeError 62 at the end of the file.
    QString readLine();
    QByteArray readLineBytes();
    // Every remaining line.
    QStringList readAllLines();
    int lineNumber() const { return m_lineNumber; }

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
    int m_codePage = 0;
    LineEnds m_ends = LineEnds::Any;
    int m_lineNumber = 0;
};

// Reads records of fields separated by commas, one record per line; a text in
// double quotes may hold commas, and two double quotes inside it stand for one.
// A record whose quoted text is not closed before the end of its line is
// malformed: it is skipped (the next line starts a new record) and listed in
// takeSkippedRecords(), so that the caller can say which records were lost.
class RecordReader
{
public:
    static RecordReader fromFile(const QString &path, int codePage = 0);
    static RecordReader fromBytes(const QByteArray &bytes, int codePage = 0);

    bool atEnd();
    // The fields of the next well-formed record. Throws RuntimeError 62 at the end.
    QStringList readRecord();
    // The line on which the last record read started (1-based).
    int recordLine() const { return m_recordLine; }
    // The number of the last record read (1-based), malformed records counted.
    int recordNumber() const { return m_recordNumber; }
    // Whether the last record read stood as the writer writes it: no text after
    // a closing quote was passed over and no quote stood inside an unquoted field.
    bool recordExact() const { return m_recordExact; }
    // The malformed records skipped since the last call, each as
    // "record <number> (line <line>): <why>", in the order of the file.
    QStringList takeSkippedRecords();

private:
    void skipBlankLines();
    void skipRestOfLine();
    bool fetch();
    bool parseRecord(QStringList *fields);

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    int m_recordLine = 0;
    int m_recordNumber = 0;
    int m_parsedRecords = 0;
    bool m_hasPending = false;
    bool m_pendingExact = true;
    bool m_recordExact = true;
    QStringList m_pending;
    int m_pendingLine = 0;
    QStringList m_skipped;
};

// Writes records: texts in double quotes (a double quote inside doubled), numbers
// as they are, Booleans as #TRUE# and #FALSE#, one record per line ending in CR LF.
// A line break inside a text is written as a blank: a record never spans lines.
class RecordWriter
{
public:
    explicit RecordWriter(int codePage = 0)
        : m_codePage(codePage)
    {
    }
    void writeRecord(const QVariantList &fields);
    QByteArray bytes() const { return m_bytes; }
    // Writes the records to the file atomically; throws RuntimeError 75 on failure.
    void saveTo(const QString &path) const;

    static QString formatField(const QVariant &value);
    // One record's line, without its line end.
    static QString formatRecord(const QVariantList &fields);

private:
    int m_codePage;
    QByteArray m_bytes;
};

namespace TextFiles {
// How far a new file must have got before it replaces the old one.
enum class Durability {
    Synced,   // on the disk itself: what the reader cannot get back elsewhere
    Unsynced, // handed to the system: scratch copies that are made again at will
};
// The program's one writer: the bytes go to a temporary file beside the target,
// every write is checked, and only a whole file replaces the old one. Throws
// RuntimeError 75 naming the file and the system's reason; the old file stays.
void writeAtomically(const QString &path, const QByteArray &bytes,
                     Durability durability = Durability::Synced);
// The same for a file in a folder opened already (its descriptor), for files
// that are the user's alone: the folder is not looked up by its path again, so
// that a link put in its place meanwhile leads nowhere else, and the file is
// made readable and writable by its owner only (0600). `shown` names the file
// in the error.
void writePrivatelyAt(int folder, const QString &name, const QByteArray &bytes, const QString &shown);
// Keeps the bytes of a damaged file in a copy of their own beside it:
// "<path>.bad", else "<path>.2.bad", "<path>.3.bad" and so on. No copy made
// before is ever replaced; one that holds these very bytes is used again.
// Returns the copy's path. Throws RuntimeError 75 naming the copy and the
// system's reason when none can be written.
QString keepCopy(const QString &path, const QByteArray &bytes);
// The copy keepCopy would keep these bytes in now.
QString copyPath(const QString &path, const QByteArray &bytes);
// Writes the bytes to a new file: the first of names(1), names(2), ... that no
// file has and `taken` does not refuse, taken without replacing a file that
// another writer made meanwhile, so that of two writers at once each gets a
// name of its own. Written whole and to the disk under a temporary name first.
// Returns the path written; throws RuntimeError 75 naming the file and the
// system's reason, and then leaves nothing behind.
QString writeNew(const std::function<QString(int number)> &names, const QByteArray &bytes,
                 const std::function<bool(const QString &path)> &taken = {});
// Reads a whole file; throws RuntimeError 53 when it is missing, 75 when unreadable.
QByteArray readAll(const QString &path);
// Text in the code page with CR LF line ends, for writing.
QByteArray encodeLines(const QStringList &lines, int codePage);
// The same for a text whose lines end with a line feed.
QByteArray encodeText(const QString &text, int codePage);
// As encodeLines, but lines the code page cannot hold make the whole text UTF-8
// with a byte-order mark (which the readers take as such): no character is lost.
QByteArray encodeLinesWhole(const QStringList &lines, int codePage);
} // namespace TextFiles
