#include "core/UrlHelpers_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"

#include <QApplication>
#include <QWidget>

namespace {
// Catalog text: no program on the desktop opens the file or address.
constexpr qint32 NoProgramMsg = 291;

std::function<void()> sayNoProgram(const QString &target)
{
    return [target] {
        desktop().messageBox(GetMsg(0, NoProgramMsg, target), MsgBoxStyle::Exclamation, QString());
    };
}
} // namespace

namespace UrlHelpers_ {

QWidget *ActiveFormHwnd(QWidget *window)
{
    if (window)
        return window;
    if (QWidget *active = QApplication::activeWindow())
        return active;
    return gMainForm;
}

QString CompletedUrl(const QString &address)
{
    if (address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive) ||
        address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        return address;
    return QStringLiteral("http://") + address;
}

void OpenUrl(const QString &address, QWidget *window)
{
    Q_UNUSED(ActiveFormHwnd(window));
    const QString url = CompletedUrl(address);
    desktop().openUrl(url, sayNoProgram(url));
}

void PlayAudioFile(const QString &path, QWidget *window)
{
    Q_UNUSED(ActiveFormHwnd(window));
    const qsizetype dot = path.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot >= 0 ? path.mid(dot).toLower() : QString();
    if (extension == QLatin1String(".mp3") || extension == QLatin1String(".ogg") ||
        extension == QLatin1String(".wma") || extension == QLatin1String(".wav")) {
        desktop().openFile(path, sayNoProgram(path));
        return;
    }
    desktop().messageBox(
        path + QStringLiteral("\r\n\r\n") +
            QStringLiteral("Audio file does not have a file extension that Verbanox recognizes.  For "
                           "security reasons, will not attempt to play the audio file."),
        MsgBoxStyle::Exclamation, QStringLiteral("Play MP3 File - Verbanox"));
}

} // namespace UrlHelpers_
