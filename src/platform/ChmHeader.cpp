#include "platform/ChmHeader.h"

#include <QIODevice>
#include <QtEndian>
#include <bit>
#include <cstring>
#include <limits>

namespace {
// The file header: signature, version, its own length, then (from 0x38) the
// offsets and lengths of header section 0 (which records the file's length) and
// of the directory, and in version 3 the offset of the content.
constexpr qint64 FileHeaderV2 = 0x58;
constexpr qint64 FileHeaderV3 = 0x60;
constexpr qint64 Section0Offset = 0x38;
constexpr qint64 DirectoryOffset = 0x48;
constexpr qint64 ContentOffset = 0x58;
constexpr qint64 Section0Size = 0x18;
constexpr qint64 Section0FileLength = 0x08;
// The directory header, then its chunks.
constexpr qint64 DirectoryHeaderSize = 0x54;
constexpr qint64 DirHeaderLength = 0x08;
constexpr qint64 DirChunkSize = 0x10;
constexpr qint64 DirDensity = 0x14;
constexpr qint64 DirIndexRoot = 0x1C;
constexpr qint64 DirFirstListing = 0x20;
constexpr qint64 DirLastListing = 0x24;
constexpr qint64 DirChunkCount = 0x2C;
// A listing chunk starts with its signature, its free space, a zero and the
// numbers of the chunks before and after it (-1 for none).
constexpr qint64 ListingHeaderSize = 0x14;
constexpr qint64 ListingPrevious = 0x0C;
// A chunk holds at least its own header; help compilers write 4 KiB chunks.
constexpr quint32 MinChunkSize = 0x20;
constexpr quint32 MaxChunkSize = 1u << 20;
// A listing chunk has a quick reference to every (1 + 2^density)th entry; help
// compilers write 2. The archive library works 2^density out in a signed 32-bit
// number, which holds it up to 2^30.
constexpr quint32 MaxDensity = 30;

// The compressed section decodes in frames of 32 KiB, through a window of 32 KiB
// to 2 MiB. Its settings: a signature, a version, then the reset interval and
// the window size, in bytes in version 1 and in frames in version 2.
constexpr quint32 FrameSize = 0x8000;
constexpr quint32 MinWindow = 0x8000;
constexpr quint32 MaxWindow = 0x200000;
constexpr qint64 ControlDataSize = 0x1C;
constexpr qint64 ControlSignature = 0x04;
constexpr qint64 ControlVersion = 0x08;
constexpr qint64 ControlResetInterval = 0x0C;
constexpr qint64 ControlWindowSize = 0x10;
// The reset table: the number of entries, their size and where they start, the
// decoded length, the compressed length and the frame size, then the entries:
// where in the compressed text each reset point lies.
constexpr qint64 ResetTableHeaderSize = 0x28;
constexpr qint64 ResetTableEntries = 0x04;
constexpr qint64 ResetTableEntrySize = 0x08;
constexpr qint64 ResetTableFirstEntry = 0x0C;
constexpr qint64 ResetTableDecodedLength = 0x10;
constexpr qint64 ResetTableFrameSize = 0x20;
// The reader takes no table longer than this.
constexpr qint64 MaxResetTableSize = 1000000;

QByteArray readAt(QIODevice &file, qint64 at, qint64 size)
{
    if (!file.seek(at))
        return QByteArray();
    return file.read(size);
}

// A little-endian number at a checked place of a block read from the file; 0
// where the block is too short to hold it.
template <typename T> T little(const QByteArray &bytes, qint64 at)
{
    T value = 0;
    if (at < 0 || at > bytes.size() - qint64(sizeof(T)))
        return value;
    for (qsizetype i = qsizetype(sizeof(T)) - 1; i >= 0; --i)
        value = T(value << 8) | T(quint8(bytes.at(at + i)));
    return value;
}

quint32 u32(const QByteArray &bytes, qint64 at)
{
    return little<quint32>(bytes, at);
}

quint64 u64(const QByteArray &bytes, qint64 at)
{
    return little<quint64>(bytes, at);
}

QString directoryProblem(QIODevice &file, quint64 offset, quint64 length)
{
    const QByteArray dir = readAt(file, qint64(offset), DirectoryHeaderSize);
    if (dir.size() < DirectoryHeaderSize || !dir.startsWith("ITSP"))
        return QStringLiteral("its directory header is missing");
    const quint32 headerLength = u32(dir, DirHeaderLength);
    const quint32 chunkSize = u32(dir, DirChunkSize);
    const quint32 chunks = u32(dir, DirChunkCount);
    if (headerLength < DirectoryHeaderSize || headerLength > length)
        return QStringLiteral("its directory header has a wrong length (%1)").arg(headerLength);
    if (chunkSize < MinChunkSize || chunkSize > MaxChunkSize)
        return QStringLiteral("its directory has a wrong chunk size (%1)").arg(chunkSize);
    if (chunks == 0 || quint64(chunks) * chunkSize > length - headerLength)
        return QStringLiteral("its directory of %1 chunks does not fit in the file").arg(chunks);
    const quint32 density = u32(dir, DirDensity);
    if (density > MaxDensity)
        return QStringLiteral("its directory header has a wrong quick-reference density (%1)").arg(density);
    const qint32 root = qint32(u32(dir, DirIndexRoot));
    const quint32 first = u32(dir, DirFirstListing);
    const quint32 last = u32(dir, DirLastListing);
    if (root < -1 || root >= qint64(chunks) || first > last || last >= chunks)
        return QStringLiteral("its directory names chunks it does not have");
    return QString();
}

// The chunk the listing chain starts at, walking back from `first` along the
// chunks' links; each step goes back at least one chunk, so the walk ends.
quint32 firstListingChunk(QIODevice &file, qint64 chunksAt, quint32 chunkSize, quint32 first)
{
    while (first > 0) {
        const QByteArray chunk = readAt(file, chunksAt + qint64(first) * chunkSize, ListingHeaderSize);
        if (chunk.size() < ListingHeaderSize || !chunk.startsWith("PMGL"))
            break;
        const qint32 previous = qint32(u32(chunk, ListingPrevious));
        if (previous < 0 || quint32(previous) >= first ||
            readAt(file, chunksAt + qint64(previous) * chunkSize, 4) != "PMGL")
            break;
        first = quint32(previous);
    }
    return first;
}
} // namespace

namespace ChmHeader {

bool fits(quint64 offset, quint64 length, qint64 size)
{
    return size >= 0 && offset <= quint64(size) && length <= quint64(size) - offset;
}

bool hasSignature(QIODevice &file)
{
    return readAt(file, 0, 4) == "ITSF";
}

void mendDirectoryHeader(QIODevice &file, qint64 at, char *bytes, qint64 size)
{
    if (size < DirectoryHeaderSize || std::memcmp(bytes, "ITSP", 4) != 0)
        return;
    const QByteArray dir = QByteArray::fromRawData(bytes, DirectoryHeaderSize);
    const quint32 chunkSize = u32(dir, DirChunkSize);
    const quint32 first = u32(dir, DirFirstListing);
    const qint64 back = file.pos();
    const QByteArray located = readAt(file, DirectoryOffset, 8);
    if (located.size() == 8 && u64(located, 0) == quint64(at) && chunkSize >= MinChunkSize &&
        chunkSize <= MaxChunkSize && first < u32(dir, DirChunkCount)) {
        const quint32 mended = firstListingChunk(file, at + u32(dir, DirHeaderLength), chunkSize, first);
        qToLittleEndian(mended, bytes + DirFirstListing);
    }
    file.seek(back);
}

QString compressionProblem(const QByteArray &control, quint32 *resetInterval)
{
    if (control.size() != ControlDataSize || control.mid(ControlSignature, 4) != "LZXC")
        return QStringLiteral("its compression settings are missing");
    const quint32 version = u32(control, ControlVersion);
    if (version != 1 && version != 2)
        return QStringLiteral("its compression settings are of an unknown version (%1)").arg(version);
    // Worked out in 32 bits, as the reader works them out.
    const quint32 unit = version == 2 ? FrameSize : 1;
    const quint32 window = u32(control, ControlWindowSize) * unit;
    const quint32 interval = u32(control, ControlResetInterval) * unit;
    if (window < MinWindow || window > MaxWindow || !std::has_single_bit(window))
        return QStringLiteral("its compression window has a wrong size (%1 bytes)").arg(window);
    // The reader takes the interval for a signed 32-bit number and rounds lengths
    // up to a whole number of intervals.
    if (interval == 0 || interval % FrameSize != 0 || interval > quint32(std::numeric_limits<qint32>::max()))
        return QStringLiteral("its compression has a wrong reset interval (%1 bytes)").arg(interval);
    *resetInterval = interval;
    return QString();
}

QString resetTableProblem(const QByteArray &table, quint32 resetInterval, quint64 contentLength)
{
    const quint32 entrySize = u32(table, ResetTableEntrySize);
    if (table.size() < ResetTableHeaderSize || table.size() > MaxResetTableSize ||
        u32(table, ResetTableFrameSize) != FrameSize || (entrySize != 4 && entrySize != 8))
        return QString(); // the reader passes it over
    // The reader rounds the decoded length up to a whole number of intervals.
    const qint64 decoded = qint64(u64(table, ResetTableDecodedLength));
    if (decoded < 0 || decoded > std::numeric_limits<qint64>::max() - qint64(resetInterval - 1))
        return QStringLiteral("its reset table gives a wrong decoded length (%1 bytes)").arg(decoded);
    const quint32 entries = u32(table, ResetTableEntries);
    const quint64 first = u32(table, ResetTableFirstEntry);
    if (first + quint64(entries) * entrySize > quint64(table.size()))
        return QStringLiteral("its reset table does not hold the %1 entries it names").arg(entries);
    // Each entry is where a reset point lies in the compressed text; the reader
    // adds it to the text's place in the file.
    for (quint64 at = first; at < first + quint64(entries) * entrySize; at += entrySize) {
        const quint64 place = entrySize == 4 ? u32(table, qint64(at)) : u64(table, qint64(at));
        if (place > contentLength)
            return QStringLiteral("its reset table places a reset point past the end of the compressed text");
    }
    return QString();
}

QString problem(QIODevice &file, qint64 size)
{
    const QByteArray head = readAt(file, 0, FileHeaderV3);
    if (head.size() < FileHeaderV2)
        return QStringLiteral("it is too short to be a compiled help file (%1 bytes)").arg(size);
    const quint32 version = u32(head, 4);
    const quint32 headerLength = u32(head, 8);
    if (version < 2 || version > 3 || headerLength < FileHeaderV2 || headerLength > size)
        return QStringLiteral("its header is of an unknown version (%1)").arg(version);
    const quint64 sec0 = u64(head, Section0Offset);
    const quint64 dirOffset = u64(head, DirectoryOffset);
    const quint64 dirLength = u64(head, DirectoryOffset + 8);
    if (!fits(sec0, Section0Size, size))
        return QStringLiteral("its header reaches past the end of the file");
    const QByteArray section0 = readAt(file, qint64(sec0), Section0Size);
    const quint64 recorded = section0.size() == Section0Size ? u64(section0, Section0FileLength) : 0;
    if (recorded > quint64(size))
        return QStringLiteral("it is cut short (%1 of its %2 bytes are there)").arg(size).arg(recorded);
    if (!fits(dirOffset, dirLength, size) || dirLength < DirectoryHeaderSize)
        return QStringLiteral("its directory reaches past the end of the file");
    const bool contentNamed = version >= 3 && headerLength >= FileHeaderV3 && head.size() >= FileHeaderV3;
    const quint64 content = contentNamed ? u64(head, ContentOffset) : dirOffset + dirLength;
    if (content > quint64(size))
        return QStringLiteral("its content starts past the end of the file");
    return directoryProblem(file, dirOffset, dirLength);
}

} // namespace ChmHeader
