#include "platform/TextFile.h"
#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryFile>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {
const char Utf8Bom[] = "\xEF\xBB\xBF";

QString fileSource()
{
    return QStringLiteral("Verbanox.TextFile");
}

[[noreturn]] void cannotWrite(const QString &path, const QString &reason)
{
    raiseFileUnwritable(fileSource(), path, reason);
}

// Writes on after a short write: the system gives its reason (disk full, file
// too large) only for the write that takes no byte at all.
bool writeWhole(QFileDevice &file, const QByteArray &bytes)
{
    qint64 written = 0;
    while (written < bytes.size()) {
        const qint64 count = file.write(bytes.constData() + written, bytes.size() - written);
        if (count <= 0)
            return false;
        written += count;
    }
    return true;
}

// Writes the bytes whole and to the disk; the system's reason when it cannot,
// else nothing.
QString writeToDisk(QFileDevice &file, const QByteArray &bytes)
{
    if (!writeWhole(file, bytes) || !file.flush())
        return file.errorString();
    // A failed sync sets no error of the file's: the system's reason is errno.
    return ::fsync(file.handle()) == 0 ? QString() : qt_error_string(errno);
}

// A file of its own beside the target, renamed over it once whole; without the
// wait for the disk that QSaveFile's commit() makes.
void replaceUnsynced(const QString &path, const QByteArray &bytes)
{
    QFile temporary(path + QStringLiteral(".%1.tmp").arg(QCoreApplication::applicationPid()));
    if (!temporary.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        cannotWrite(path, temporary.errorString());
    const bool written = writeWhole(temporary, bytes);
    QString reason = temporary.errorString();
    temporary.close();
    if (written && ::rename(QFile::encodeName(temporary.fileName()).constData(),
                            QFile::encodeName(path).constData()) == 0)
        return;
    if (written)
        reason = qt_error_string(errno);
    temporary.remove();
    cannotWrite(path, reason);
}

QString copyName(const QString &path, int number)
{
    return number == 1 ? path + QStringLiteral(".bad") : path + QStringLiteral(".%1.bad").arg(number);
}

bool holdsBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.size() == bytes.size() && file.open(QIODevice::ReadOnly) && file.readAll() == bytes;
}

bool onDisk(const QString &name)
{
    const QFileInfo info(name);
    return info.exists() || info.isSymLink();
}

// What a name that a new file might take is to the writer.
enum class NameUse {
    Free,     // no file has it: the new file may take it
    Taken,    // the next name is tried
    HoldsNew, // a file of that name holds the bytes already: it is used again
};

constexpr int MaxNumberedNames = 9999;

enum class Placing { Placed, NameTaken, Failed };

// Gives a file a new name unless a file has that name already: a rename that
// replaces nothing, or, on a file system without one, a link into place.
Placing placeWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return Placing::Placed;
    if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP) {
        if (::link(source.constData(), target.constData()) == 0) {
            ::unlink(source.constData());
            return Placing::Placed;
        }
    }
    return errno == EEXIST ? Placing::NameTaken : Placing::Failed;
}

// Written whole (and to the disk) under a name of its own first, the file then
// takes the first free one of names(1), names(2), ... without replacing a
// file: two writers at once can never take the same name, nor one replace
// what the other made. `use` says what each name is to this writer.
QString placeUnderFreeName(const std::function<QString(int)> &names, const QByteArray &bytes,
                           const std::function<NameUse(const QString &)> &use)
{
    const QString first = names(1);
    // Made at the first free name; it goes unless it became the new file.
    QTemporaryFile temporary(first + QStringLiteral(".XXXXXX.tmp"));
    for (int number = 1; number <= MaxNumberedNames; ++number) {
        const QString name = names(number);
        const NameUse found = use(name);
        if (found == NameUse::HoldsNew)
            return name;
        if (found == NameUse::Taken)
            continue;
        if (!temporary.isOpen()) {
            if (!temporary.open())
                cannotWrite(name, temporary.errorString());
            if (const QString reason = writeToDisk(temporary, bytes); !reason.isEmpty())
                cannotWrite(name, reason);
        }
        switch (placeWithoutReplacing(temporary.fileName(), name)) {
        case Placing::Placed:
            temporary.setAutoRemove(false); // it is the new file now
            return name;
        case Placing::NameTaken:
            continue; // another writer took the name meanwhile: the next one is tried
        case Placing::Failed:
            cannotWrite(name, qt_error_string(errno));
        }
    }
    cannotWrite(first, QStringLiteral("%1 files of that name are there already").arg(MaxNumberedNames));
}

// What the name of a copy is to the bytes to be kept.
NameUse copyNameUse(const QString &copy, const QByteArray &bytes)
{
    if (!onDisk(copy))
        return NameUse::Free;
    return QFileInfo(copy).isFile() && holdsBytes(copy, bytes) ? NameUse::HoldsNew : NameUse::Taken;
}
} // namespace

namespace TextFiles {

QString keepCopy(const QString &path, const QByteArray &bytes)
{
    return placeUnderFreeName([&path](int number) { return copyName(path, number); }, bytes,
                              [&bytes](const QString &copy) { return copyNameUse(copy, bytes); });
}

QString copyPath(const QString &path, const QByteArray &bytes)
{
    for (int number = 1; number <= MaxNumberedNames; ++number) {
        const QString copy = copyName(path, number);
        if (copyNameUse(copy, bytes) != NameUse::Taken)
            return copy;
    }
    return copyName(path, 1);
}

QString writeNew(const std::function<QString(int)> &names, const QByteArray &bytes,
                 const std::function<bool(const QString &)> &taken)
{
    return placeUnderFreeName(names, bytes, [&taken](const QString &name) {
        return onDisk(name) || (taken && taken(name)) ? NameUse::Taken : NameUse::Free;
    });
}

QByteArray readAll(const QString &path)
{
    QFile file(FileNames::resolve(path));
    if (!file.exists())
        raiseFileNotFound(fileSource(), path);
    if (!file.open(QIODevice::ReadOnly))
        raiseFileUnreadable(fileSource(), path, file.errorString());
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        raiseFileUnreadable(fileSource(), path, file.errorString());
    return bytes;
}

void writePrivatelyAt(int folder, const QString &name, const QByteArray &bytes, const QString &shown)
{
    const QByteArray target = QFile::encodeName(name);
    const QByteArray temporary = target + '.' + QByteArray::number(::getpid()) + ".tmp";
    // One left by an earlier process of this id that was killed while it wrote.
    ::unlinkat(folder, temporary.constData(), 0);
    const int fd = ::openat(folder, temporary.constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (fd < 0)
        cannotWrite(shown, qt_error_string(errno));
    QString reason;
    {
        QFile file;
        reason = file.open(fd, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::DontCloseHandle)
                     ? writeToDisk(file, bytes)
                     : file.errorString();
    }
    if (::close(fd) != 0 && reason.isEmpty())
        reason = qt_error_string(errno);
    if (reason.isEmpty() && ::renameat(folder, temporary.constData(), folder, target.constData()) != 0)
        reason = qt_error_string(errno);
    if (reason.isEmpty())
        return;
    ::unlinkat(folder, temporary.constData(), 0);
    cannotWrite(shown, reason);
}

void writeAtomically(const QString &path, const QByteArray &bytes, Durability durability)
{
    if (durability == Durability::Unsynced) {
        replaceUnsynced(path, bytes);
        return;
    }
    QSaveFile file(path);
    // Unbuffered, and every write checked: Qt 6.4's commit() does not see a
    // buffered write that failed, and would put the cut-short file in place of
    // the old one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) || !writeWhole(file, bytes) ||
        !file.commit())
        cannotWrite(path, file.errorString());
}

QByteArray encodeLines(const QStringList &lines, int codePage)
{
    QByteArray out;
    for (const QString &line : lines) {
        out += CodePage::encode(line, codePage);
        out += "\r\n";
    }
    return out;
}

QByteArray encodeText(const QString &text, int codePage)
{
    // In UTF-8 and the single-byte code pages a line feed is the byte 10 and no
    // other character has that byte: the carriage returns go into the bytes.
    if (codePage == CodePage::Utf8 || CodePage::singleByteTable(codePage)) {
        const QByteArray bytes = CodePage::encode(text, codePage);
        qsizetype lineFeeds = 0;
        for (const char *at = bytes.constData(), *end = at + bytes.size();
             (at = static_cast<const char *>(std::memchr(at, '\n', size_t(end - at)))); ++at)
            ++lineFeeds;
        QByteArray out;
        out.reserve(bytes.size() + lineFeeds);
        for (qsizetype from = 0; from < bytes.size();) {
            const qsizetype lineFeed = bytes.indexOf('\n', from);
            const qsizetype end = lineFeed < 0 ? bytes.size() : lineFeed;
            out.append(bytes.constData() + from, end - from);
            if (lineFeed >= 0)
                out.append("\r\n", 2);
            from = end + 1;
        }
        return out;
    }
    // Copied line by line: replacing each line feed in place would move the
    // rest of the text at every line.
    QString lines;
    for (qsizetype from = 0; from < text.size();) {
        const qsizetype lineFeed = text.indexOf(QLatin1Char('\n'), from);
        const qsizetype end = lineFeed < 0 ? text.size() : lineFeed;
        lines.append(QStringView(text).sliced(from, end - from));
        if (lineFeed >= 0)
            lines.append(QLatin1String("\r\n"));
        from = end + 1;
    }
    return CodePage::encode(lines, codePage);
}

QByteArray encodeLinesWhole(const QStringList &lines, int codePage)
{
    for (const QString &line : lines)
        if (!CodePage::canEncode(line, codePage))
            return QByteArray(Utf8Bom) + encodeLines(lines, CodePage::Utf8);
    return encodeLines(lines, codePage);
}

} // namespace TextFiles

TextReader TextReader::fromBytes(const QByteArray &bytes, int codePage, LineEnds ends)
{
    TextReader reader;
    reader.m_bytes = bytes;
    reader.m_codePage = codePage;
    reader.m_ends = ends;
    if (bytes.startsWith(Utf8Bom)) {
        reader.m_pos = 3;
        reader.m_codePage = CodePage::Utf8;
    }
    return reader;
}

TextReader TextReader::fromFile(const QString &path, int codePage, LineEnds ends)
{
    return fromBytes(TextFiles::readAll(path), codePage, ends);
}

QByteArray TextReader::readLineBytes()
{
    if (atEnd())
        raiseError(RtErr::InputPastEndOfFile, fileSource());
    const qsizetype size = m_bytes.size();
    const char *data = m_bytes.constData();
    qsizetype start = m_pos;
    qsizetype i = start;
    for (; i < size; ++i) {
        const char c = data[i];
        if (c == '\r' && i + 1 < size && data[i + 1] == '\n') {
            m_pos = i + 2;
            break;
        }
        if (m_ends == LineEnds::Any && (c == '\r' || c == '\n')) {
            m_pos = i + 1;
            break;
        }
    }
    if (i >= size)
        m_pos = size;
    ++m_lineNumber;
    return m_bytes.mid(start, i - start);
}

QString TextReader::readLine()
{
    return CodePage::decode(readLineBytes(), m_codePage);
}

QStringList TextReader::readAllLines()
{
    QStringList lines;
    while (!atEnd())
        lines.append(readLine());
    return lines;
}

RecordReader RecordReader::fromBytes(const QByteArray &bytes, int codePage)
{
    RecordReader reader;
    if (bytes.startsWith(Utf8Bom))
        reader.m_text = QString::fromUtf8(bytes.mid(3));
    else
        reader.m_text = CodePage::decode(bytes, codePage);
    return reader;
}

RecordReader RecordReader::fromFile(const QString &path, int codePage)
{
    return fromBytes(TextFiles::readAll(path), codePage);
}

void RecordReader::skipBlankLines()
{
    while (m_pos < m_text.size()) {
        qsizetype i = m_pos;
        while (i < m_text.size() && (m_text[i] == QLatin1Char(' ') || m_text[i] == QLatin1Char('\t')))
            ++i;
        if (i < m_text.size() && m_text[i] != QLatin1Char('\r') && m_text[i] != QLatin1Char('\n'))
            return;
        if (i >= m_text.size()) {
            m_pos = i;
            return;
        }
        if (m_text[i] == QLatin1Char('\r') && i + 1 < m_text.size() && m_text[i + 1] == QLatin1Char('\n'))
            ++i;
        m_pos = i + 1;
        ++m_line;
    }
}

void RecordReader::skipRestOfLine()
{
    const qsizetype n = m_text.size();
    while (m_pos < n && m_text[m_pos] != QLatin1Char('\r') && m_text[m_pos] != QLatin1Char('\n'))
        ++m_pos;
    if (m_pos >= n)
        return;
    if (m_text[m_pos] == QLatin1Char('\r') && m_pos + 1 < n && m_text[m_pos + 1] == QLatin1Char('\n'))
        ++m_pos;
    ++m_pos;
    ++m_line;
}

// Reads the next record into m_pending, skipping malformed ones; false at the end.
bool RecordReader::fetch()
{
    while (!m_hasPending) {
        skipBlankLines();
        if (m_pos >= m_text.size())
            return false;
        m_pendingLine = m_line;
        ++m_parsedRecords;
        m_pendingExact = true;
        QStringList fields;
        if (parseRecord(&fields)) {
            m_pending = fields;
            m_hasPending = true;
        } else {
            m_skipped.append(QStringLiteral("record %1 (line %2): a quoted text is not closed before the end "
                                            "of its line")
                                 .arg(m_parsedRecords)
                                 .arg(m_pendingLine));
            skipRestOfLine();
        }
    }
    return true;
}

bool RecordReader::atEnd()
{
    return !fetch();
}

QStringList RecordReader::readRecord()
{
    if (!fetch())
        raiseError(RtErr::InputPastEndOfFile, QStringLiteral("Verbanox.RecordReader"));
    m_hasPending = false;
    m_recordExact = m_pendingExact;
    m_recordLine = m_pendingLine;
    m_recordNumber = m_parsedRecords;
    return std::exchange(m_pending, QStringList());
}

QStringList RecordReader::takeSkippedRecords()
{
    return std::exchange(m_skipped, QStringList());
}

// Parses one record from m_pos; false, with m_pos inside its line, when it is malformed.
bool RecordReader::parseRecord(QStringList *fields)
{
    const qsizetype n = m_text.size();
    auto isLineEnd = [&](qsizetype i) {
        return m_text[i] == QLatin1Char('\r') || m_text[i] == QLatin1Char('\n');
    };
    auto isBlank = [&](qsizetype i) {
        return m_text[i] == QLatin1Char(' ') || m_text[i] == QLatin1Char('\t');
    };
    for (;;) {
        while (m_pos < n && isBlank(m_pos))
            ++m_pos;
        QString field;
        if (m_pos < n && m_text[m_pos] == QLatin1Char('"')) {
            ++m_pos;
            for (;;) {
                // A quote left open at the end of the line would swallow the records after it.
                if (m_pos >= n || isLineEnd(m_pos))
                    return false;
                const QChar c = m_text[m_pos++];
                if (c == QLatin1Char('"')) {
                    if (m_pos < n && m_text[m_pos] == QLatin1Char('"')) {
                        field += c;
                        ++m_pos;
                        continue;
                    }
                    break;
                }
                field += c;
            }
            // Anything between the closing quote and the next comma is ignored.
            while (m_pos < n && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_pos)) {
                m_pendingExact = m_pendingExact && isBlank(m_pos);
                ++m_pos;
            }
        } else {
            const qsizetype start = m_pos;
            while (m_pos < n && m_text[m_pos] != QLatin1Char(',') && !isLineEnd(m_pos))
                ++m_pos;
            field = m_text.mid(start, m_pos - start).trimmed();
            m_pendingExact = m_pendingExact && !field.contains(QLatin1Char('"'));
        }
        fields->append(field);
        if (m_pos < n && m_text[m_pos] == QLatin1Char(',')) {
            ++m_pos;
            continue;
        }
        skipRestOfLine(); // the line end closes the record
        return true;
    }
}

QString RecordWriter::formatField(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("#TRUE#") : QStringLiteral("#FALSE#");
    case QMetaType::Float: {
        char buf[32];
        auto res = std::to_chars(buf, buf + sizeof buf, value.toFloat());
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    case QMetaType::Double: {
        char buf[32];
        auto res = std::to_chars(buf, buf + sizeof buf, value.toDouble());
        return QString::fromLatin1(buf, res.ptr - buf);
    }
    // Through a number, not toString(): a QVariant of a byte converts to a character.
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::SChar:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UChar:
        return QString::number(value.toULongLong());
    default: {
        QString text = value.toString();
        static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')))
            text.replace(lineBreak, QStringLiteral(" "));
        text.replace(QLatin1Char('"'), QLatin1String("\"\""));
        return QLatin1Char('"') + text + QLatin1Char('"');
    }
    }
}

QString RecordWriter::formatRecord(const QVariantList &fields)
{
    QStringList parts;
    for (const QVariant &field : fields)
        parts.append(formatField(field));
    return parts.join(QLatin1Char(','));
}

void RecordWriter::writeRecord(const QVariantList &fields)
{
    m_bytes += CodePage::encode(formatRecord(fields), m_codePage);
    m_bytes += "\r\n";
}

void RecordWriter::saveTo(const QString &path) const
{
    TextFiles::writeAtomically(path, m_bytes);
}
