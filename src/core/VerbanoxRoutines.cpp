#include "core/VerbanoxRoutines.h"
#include "core/Bug_.h"
#include "core/CoreHooks.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "platform/TextFile.h"
#include "platform/VbConvert.h"

#include <optional>

namespace {
const QString CRLF = QStringLiteral("\r\n");

enum class ModuleKind { Bible, Names, Dictionary, Commentary, Ignored };

ModuleKind kindOfId(qint32 id)
{
    if (id >= 0 && id <= 999)
        return ModuleKind::Bible;
    if (id >= 1500 && id <= 1599)
        return ModuleKind::Names;
    if (id >= 1600 && id <= 1699)
        return ModuleKind::Dictionary;
    if (id >= 1700 && id <= 1799)
        return ModuleKind::Commentary;
    return ModuleKind::Ignored;
}

struct ModuleRecord
{
    qint16 id = 0;
    qint16 enabled = 0;
    QString displayName;
    QString baseName;
    qint32 codePage = 0;
};

// One record of the module list, or a description of what is wrong with it.
std::optional<ModuleRecord> parseRecord(const QStringList &fields, QString *problem)
{
    if (fields.size() < 5) {
        *problem = QStringLiteral("it has %1 fields instead of 5").arg(fields.size());
        return std::nullopt;
    }
    ModuleRecord r;
    const std::optional<qint16> id = VbConvert::toInt16(fields[0]);
    const std::optional<qint16> enabled = VbConvert::toInt16(fields[1]);
    const std::optional<qint32> codePage = VbConvert::toInt32(fields[4]);
    if (!id || !enabled || !codePage) {
        *problem = QStringLiteral("the ID, enabled flag or code page is not a number");
        return std::nullopt;
    }
    // The base name becomes part of a file path: it must name a file in the module folder.
    const QString &base = fields[3];
    if (base.contains(QLatin1Char('/')) || base.contains(QLatin1Char('\\')) ||
        base.contains(QLatin1String("..")) || base.contains(QChar(0))) {
        *problem = QStringLiteral("the file name \"%1\" points outside the module folder").arg(base);
        return std::nullopt;
    }
    r.id = *id;
    r.enabled = *enabled;
    r.displayName = fields[2];
    r.baseName = fields[3];
    r.codePage = *codePage;
    return r;
}

void addRecord(const ModuleRecord &r, bool *enabledBibleSeen)
{
    const QString fileName = r.baseName + QStringLiteral(".txt");
    switch (kindOfId(r.id)) {
    case ModuleKind::Bible:
        if (FileFunctions_::FileExists(gBibleFolder + fileName)) {
            gBibles.Add(r.displayName, fileName, r.enabled != 0, r.codePage);
            if (r.enabled != 0)
                *enabledBibleSeen = true;
        }
        break;
    case ModuleKind::Names:
        gNameDictionaries.Add(r.displayName, fileName, true, r.codePage);
        break;
    case ModuleKind::Dictionary:
        if (FileFunctions_::FileExists(gDictionaryFolder + fileName))
            gDictionaries.Add(r.displayName, fileName, true, r.codePage);
        break;
    case ModuleKind::Commentary:
        if (FileFunctions_::FileExists(gCommentaryFolder + fileName))
            gCommentaries.Add(r.displayName, fileName, true, r.codePage);
        break;
    case ModuleKind::Ignored:
        break;
    }
}

QString moduleListPath()
{
    return gSysDefsFolder + QStringLiteral("Translations.txt");
}

// The records of the module list that could be read; each one that could not
// is described in skipped, in file order.
QList<ModuleRecord> readModuleList(const QString &path, QStringList *skipped)
{
    QList<ModuleRecord> records;
    RecordReader reader = RecordReader::fromFile(path);
    while (!reader.atEnd()) {
        const QStringList fields = reader.readRecord();
        // Malformed records the reader skipped on the way come first.
        *skipped += reader.takeSkippedRecords();
        QString problem;
        if (const std::optional<ModuleRecord> record = parseRecord(fields, &problem))
            records.append(*record);
        else
            skipped->append(QStringLiteral("record %1 (line %2): %3")
                                .arg(reader.recordNumber())
                                .arg(reader.recordLine())
                                .arg(problem));
    }
    *skipped += reader.takeSkippedRecords();
    return records;
}

// Sum and XOR value of a module's lines, in 32 bits that wrap.
void moduleChecksum(const QByteArray &bytes, qint32 *xorValue, qint32 *sum)
{
    quint32 s = 0, x = 0;
    TextReader reader = TextReader::fromBytes(bytes, 1252, LineEnds::Any);
    while (!reader.atEnd()) {
        const QByteArray line = reader.readLineBytes();
        for (char c : line)
            s += quint8(c);
        x ^= s;
    }
    *xorValue = qint32(x);
    *sum = qint32(s);
}

// The checksums an installer put beside the program are the reference; others
// are the program's own, kept where it may write (the user's cache folder when
// the program folder is read-only).
QString checksumCachePath(const QString &fileName)
{
    const QString shipped = gSysDefsFolder + QStringLiteral("CRC_") + fileName;
    if (FileFunctions_::FileExists(shipped))
        return shipped;
    return gChecksumFolder + QStringLiteral("CRC_") + fileName;
}

// Stores a new checksum; what could not be stored is said in the report, as the
// check itself has been done.
QString keepChecksum(const QString &path, qint32 xorValue, qint32 sum)
{
    try {
        FileFunctions_::MakeFolder(gChecksumFolder);
        RecordWriter writer;
        writer.writeRecord({xorValue, sum});
        writer.saveTo(path);
    } catch (const RuntimeError &e) {
        return CRLF + QStringLiteral("It could not be kept for the next check: ") + e.description();
    }
    return QString();
}
} // namespace

namespace VerbanoxRoutines {

void LoadTranslationsList()
{
    const QString path = moduleListPath();
    if (!FileFunctions_::FileExists(path)) {
        desktop().messageBox(path + QStringLiteral(" File not found!") + CRLF +
                                 QStringLiteral("This file must be present. Copy latest version from") +
                                 CRLF + MiscHelpers::WebSiteAddress(),
                             MsgBoxStyle::Critical, QString());
        desktop().endProgram(0);
    }
    gBibles.Clear();
    gNameDictionaries.Clear();
    gDictionaries.Clear();
    gCommentaries.Clear();

    bool enabledBibleSeen = false;
    QStringList skipped;
    for (const ModuleRecord &record : readModuleList(path, &skipped))
        addRecord(record, &enabledBibleSeen);
    if (!skipped.isEmpty())
        desktop().messageBox(QStringLiteral("These records of ") + path +
                                 QStringLiteral(" could not be read and were skipped:") + CRLF +
                                 skipped.join(CRLF),
                             MsgBoxStyle::Exclamation, QString());

    if (!enabledBibleSeen) {
        if (gBibles.Count() > 0)
            gBibles.SetEnabled(0, true);
        else
            CoreHooks::ShowNoBiblesDialog();
    }
}

BibleSearch FindBibles(const QString &moduleFolder)
{
    BibleSearch search;
    search.listPath = moduleListPath();
    QList<ModuleRecord> records;
    try {
        records = readModuleList(search.listPath, &search.unreadable);
    } catch (const RuntimeError &e) {
        search.unreadable.append(e.description());
    }
    for (const ModuleRecord &record : records) {
        if (kindOfId(record.id) != ModuleKind::Bible)
            continue;
        ++search.bibleRecords;
        if (FileFunctions_::FileExists(moduleFolder + QStringLiteral("Bible/") + record.baseName +
                                       QStringLiteral(".txt")))
            ++search.biblesFound;
    }
    return search;
}

QString CheckModuleCrc(const QString &folder, const QString &fileName)
{
    QByteArray bytes;
    try {
        bytes = TextFiles::readAll(folder + fileName);
    } catch (const RuntimeError &e) {
        return QStringLiteral("Could not read ") + folder + fileName + QStringLiteral(": ") +
               e.description() + CRLF;
    }
    qint32 xorValue = 0, sum = 0;
    moduleChecksum(bytes, &xorValue, &sum);
    const QString computed = QString::number(xorValue) + QString::number(sum);
    const QString cachePath = checksumCachePath(fileName);

    if (!FileFunctions_::FileExists(cachePath)) {
        const QString notKept = keepChecksum(cachePath, xorValue, sum);
        return QStringLiteral("Could not find CRC_") + fileName +
               QStringLiteral(".  There is therefore no ") +
               QStringLiteral("way of knowing what the CRC should be.") + CRLF +
               QStringLiteral("The new CRC is: ") + computed + notKept;
    }
    RecordReader cache = RecordReader::fromFile(cachePath);
    const QStringList fields = cache.atEnd() ? QStringList() : cache.readRecord();
    const QString cachedXor = fields.value(0);
    const QString cachedSum = fields.value(1);
    if (cachedXor != QString::number(xorValue) || cachedSum != QString::number(sum)) {
        FileFunctions_::DeleteFileIfExists(gIndexFolder + fileName + QStringLiteral(".INDEX"));
        return QStringLiteral("The CRC has changed on file ") + fileName +
               QStringLiteral(" since it was last calculated") + CRLF +
               QStringLiteral("New CRC computed from file contents: ") + computed + CRLF +
               QStringLiteral("Old CRC from cache:  ") + cachedXor + cachedSum + CRLF +
               QStringLiteral("This means the data in the file has changed.") + CRLF +
               QStringLiteral("It is STRONGLY SUGGESTED YOU REINSTALL THIS MODULE!!");
    }
    return QStringLiteral("CRC: ") + computed + CRLF + QStringLiteral("CRC for ") + fileName +
           QStringLiteral(" is correct!") + CRLF;
}

} // namespace VerbanoxRoutines
