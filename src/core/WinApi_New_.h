#pragma once

#include <QString>
#include <QtGlobal>

class ByteBuffer_;

// Text decoding of module lines, clipboard-format numbers and colour translation.
namespace WinApi_New_ {
// The used bytes of the buffer as text in the code page, up to the first NUL;
// "" for an empty buffer.
QString BytesToUnicode(const ByteBuffer_ &buffer, int codePage);
// The clipboard-format number registered for a name (0xC000 and up); a name
// always gets the same number, whatever its case. 0 for an empty name, a name
// over 255 characters, or when every number is taken.
quint16 RegisterClipboardFormat(const QString &name);
// The RGB value (0x00BBGGRR) of a colour, system colours looked up; 0 when the
// colour cannot be translated.
quint32 TranslateColor(quint32 colour);
} // namespace WinApi_New_
