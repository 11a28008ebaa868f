#pragma once

#include <QString>

class QIODevice;

// The fixed headers of a compiled-help (CHM) file, checked against the file's
// size before the archive reader allocates anything from the numbers in them.
namespace ChmHeader {
// Why the bytes of `file` (open for reading, `size` bytes long) are no sound
// archive, as the end of a sentence ("it is cut short ..."); empty when the
// headers and the directory they describe fit in the file.
QString problem(QIODevice &file, qint64 size);
// The compressed section's settings (its "ControlData" record): why the archive
// reader could not decode by them, empty when it can; then *resetInterval is
// the number of decoded bytes between the points where decoding starts over.
QString compressionProblem(const QByteArray &controlData, quint32 *resetInterval);
// The compressed section's reset table: why the length and the places it gives
// could not be used, empty when they can or when the reader passes the table
// over (it then decodes from the start). contentLength is the compressed
// text's length, within which every place lies.
QString resetTableProblem(const QByteArray &table, quint32 resetInterval, quint64 contentLength);
// The furthest place in the decoded section at which the archive reader can
// start to decode an object: it counts there in signed 32-bit numbers.
constexpr quint64 MaxCompressedOffset = 0x7fffffff;
// Whether the file starts as an archive does (it may still be damaged).
bool hasSignature(QIODevice &file);
// Whether [offset, offset + length) lies within the first `size` bytes.
bool fits(quint64 offset, quint64 length, qint64 size);
// Given every read from the file (`size` bytes read at `at` into `bytes`), sets
// right the directory header's first listing chunk when these bytes are that
// header: the help compiler of Debian's fp-utils names the second chunk of a
// directory of several, which would hide the names in the first. The first is
// where the chain of listing chunks starts. The file's position is kept.
void mendDirectoryHeader(QIODevice &file, qint64 at, char *bytes, qint64 size);
} // namespace ChmHeader
