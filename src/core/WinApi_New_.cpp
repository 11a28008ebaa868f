#include "core/WinApi_New_.h"

#include "abi/VxHelpersAbi.h"
#include "core/ByteBuffer_.h"
#include "platform/CodePage.h"
#include "platform/OleColor.h"

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
    // The numbers are shared with libVxHelpers.so, which offers data in these formats.
    return VxAbi::RegisterClipboardFormat(name.toUtf8().constData());
}

quint32 TranslateColor(quint32 colour)
{
    quint32 rgb = 0;
    if (!OleColor::translate(colour, &rgb))
        return 0;
    return rgb;
}

} // namespace WinApi_New_
