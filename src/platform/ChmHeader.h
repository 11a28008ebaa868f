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
} // namespace ChmHeader
