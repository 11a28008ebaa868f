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
