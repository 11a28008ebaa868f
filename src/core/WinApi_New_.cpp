#include "WinApi_New_.h"

#include "ByteBuffer_.h"
#include "CodePage.h"
#include "OleColor.h"

#include <QHash>

namespace {
constexpr quint32 FirstRegisteredFormat = 0xC000;
constexpr quint32 LastRegisteredFormat = 0xFFFF;
constexpr qsizetype MaxFormatNameLength = 255;
} // namespace

namespace WinApi_New_ {

QString BytesToUnicode(const ByteBuffer_ &buffer, int codePage)
{
    const qint32 size = buffer.CurrentBufferUsedSize();
    if (size <= 0)
        return QString();
    QString text = CodePage::decode(reinterpret_cast<const char *>(buffer.constData()), size, codePage);
    const qsizetype nul = text.indexOf(QChar(0));
    if (nul >= 0)
        text.truncate(nul);
    return text;
}

quint16 RegisterClipboardFormat(const QString &name)
{
    static QHash<QString, quint16> formats;
    static quint32 next = FirstRegisteredFormat;
    if (name.isEmpty() || name.size() > MaxFormatNameLength)
        return 0;
    const QString key = name.toCaseFolded();
    const auto found = formats.constFind(key);
    if (found != formats.constEnd())
        return *found;
    if (next > LastRegisteredFormat)
        return 0;
    const quint16 format = quint16(next++);
    formats.insert(key, format);
    return format;
}

quint32 TranslateColor(quint32 colour)
{
    quint32 rgb = 0;
    if (!OleColor::translate(colour, &rgb))
        return 0;
    return rgb;
}

} // namespace WinApi_New_
