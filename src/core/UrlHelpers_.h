#pragma once

#include <QString>

class QWidget;

// Web addresses and audio files opened with the desktop.
namespace UrlHelpers_ {
QWidget *ActiveFormHwnd(QWidget *window);
// The address as OpenUrl opens it: "http://" in front unless it starts, in any
// case, with "http://" or "https://".
QString CompletedUrl(const QString &address);
void OpenUrl(const QString &address, QWidget *window = nullptr);
// Only files ending in .mp3, .ogg, .wma or .wav are opened; anything else is refused.
void PlayAudioFile(const QString &path, QWidget *window = nullptr);
} // namespace UrlHelpers_

using UrlHelpers_::CompletedUrl;
using UrlHelpers_::OpenUrl;
using UrlHelpers_::PlayAudioFile;
