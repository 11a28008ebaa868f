#include "preferences/TranslationsFile.h"

#include "platform/CodePage.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <QVariantList>
#include <optional>

namespace {
const QByteArray Utf8Bom("\xEF\xBB\xBF");

// The list file as it stands: its encoding, and each record line with its line end.
struct ListFile
{
    bool utf8 = false; // it starts with a byte-order mark; else the ANSI code page
    QList<QByteArray> lines;

    int codePage() const { return utf8 ? CodePage::Utf8 : CodePage::Ansi; }
};

ListFile readList(const QString &path)
{
    QByteArray bytes = TextFiles::readAll(path);
    ListFile list;
    list.utf8 = bytes.startsWith(Utf8Bom);
    if (list.utf8)
        bytes.remove(0, Utf8Bom.size());
    for (qsizetype start = 0; start < bytes.size();) {
        const qsizetype end = bytes.indexOf('\n', start);
        const qsizetype next = end < 0 ? bytes.size() : end + 1;
        const QByteArray line = bytes.mid(start, next - start);
        if (!line.trimmed().isEmpty())
            list.lines.append(line);
        start = next;
    }
    return list;
}

// The Bible record of a line that the precedence list shows: one record read
// exactly as written, with a number below 999 and numbers where numbers belong.
// Any other line is carried over as it stands.
std::optional<TranslationsFile::BibleRecord> shownBible(const QByteArray &line, int codePage)
{
    RecordReader reader = RecordReader::fromBytes(line, codePage);
    if (reader.atEnd())
        return std::nullopt;
    const QStringList fields = reader.readRecord();
    if (!reader.recordExact() || !reader.atEnd() || !reader.takeSkippedRecords().isEmpty() ||
        fields.size() != 5)
        return std::nullopt;
    const std::optional<qint16> number = VbConvert::toInt16(fields[0]);
    const std::optional<qint16> enabled = VbConvert::toInt16(fields[1]);
    const std::optional<qint32> codePageField = VbConvert::toInt32(fields[4]);
    if (!number || *number >= TranslationsFile::FirstHiddenNumber || !enabled || !codePageField)
        return std::nullopt;
    return TranslationsFile::BibleRecord{fields[2], fields[3], *enabled != 0, *codePageField};
}
} // namespace

namespace TranslationsFile {

QList<BibleRecord> ReadBibles(const QString &path)
{
    const ListFile list = readList(path);
    QList<BibleRecord> bibles;
    for (const QByteArray &line : list.lines)
        if (const std::optional<BibleRecord> bible = shownBible(line, list.codePage()))
            bibles.append(*bible);
    return bibles;
}

void WriteBibles(const QString &path, const QList<BibleRecord> &bibles)
{
    // The old records are read before anything is written; a file that cannot be
    // read stops the rewrite, since its other modules would be lost.
    const QString target = FileNames::resolve(path);
    const ListFile old = readList(target);

    RecordWriter writer(old.codePage());
    qint32 number = 0;
    for (const BibleRecord &bible : bibles)
        writer.writeRecord(
            {++number, bible.enabled ? 1 : 0, bible.displayName, bible.baseName, bible.codePage});
    QByteArray bytes = (old.utf8 ? Utf8Bom : QByteArray()) + writer.bytes();
    for (const QByteArray &line : old.lines)
        if (!shownBible(line, old.codePage()))
            bytes += line;
    TextFiles::writeAtomically(target, bytes);
}

} // namespace TranslationsFile
