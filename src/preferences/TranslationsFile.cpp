#include "preferences/TranslationsFile.h"

#include "platform/FileNames.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <QVariantList>
#include <optional>

namespace {

// Whether the precedence list shows the record: a readable number below 999.
bool isShown(const QStringList &fields)
{
    if (fields.size() < 5)
        return false;
    const std::optional<qint16> number = VbConvert::toInt16(fields[0]);
    return number && *number < TranslationsFile::FirstHiddenNumber && VbConvert::toInt16(fields[1]) &&
           VbConvert::toInt32(fields[4]);
}

// A field of a record that is carried over: numbers stay numbers, everything
// else is written as text, so that the record reads back as it was.
QVariant carriedField(int index, const QString &field)
{
    if (index != 2 && index != 3) {
        if (const std::optional<qint32> number = VbConvert::toInt32(field))
            return *number;
    }
    return field;
}

} // namespace

namespace TranslationsFile {

QList<BibleRecord> ReadBibles(const QString &path)
{
    QList<BibleRecord> bibles;
    RecordReader reader = RecordReader::fromFile(path);
    while (!reader.atEnd()) {
        const QStringList fields = reader.readRecord();
        if (!isShown(fields))
            continue;
        bibles.append(
            {fields[2], fields[3], *VbConvert::toInt16(fields[1]) != 0, *VbConvert::toInt32(fields[4])});
    }
    return bibles;
}

void WriteBibles(const QString &path, const QList<BibleRecord> &bibles)
{
    // The old records are read before anything is written; a file that cannot be
    // read stops the rewrite, since its other modules would be lost.
    const QString target = FileNames::resolve(path);
    RecordReader old = RecordReader::fromFile(target);

    RecordWriter writer;
    qint32 number = 0;
    for (const BibleRecord &bible : bibles)
        writer.writeRecord(
            {++number, bible.enabled ? 1 : 0, bible.displayName, bible.baseName, bible.codePage});
    while (!old.atEnd()) {
        const QStringList fields = old.readRecord();
        if (isShown(fields))
            continue;
        QVariantList record;
        for (int i = 0; i < fields.size(); ++i)
            record.append(carriedField(i, fields[i]));
        writer.writeRecord(record);
    }
    writer.saveTo(target);
}

} // namespace TranslationsFile
