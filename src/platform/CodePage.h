#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// Text in Windows code pages, by number. 0 (the ANSI code page) is 1252 here;
// 65001 is UTF-8. A code page this system does not know decodes as 1252 and is
// reported once through the handler set with setUnknownCodePageHandler.
namespace CodePage {
constexpr int Ansi = 0;
constexpr int SystemAnsi = 1252;
constexpr int Utf8 = 65001;

// The encoding name for a code page number, empty when unknown.
QByteArray encodingName(int codePage);
bool isKnown(int codePage);
QString decode(const QByteArray &bytes, int codePage);
QString decode(const char *bytes, qsizetype size, int codePage);
// Characters the code page cannot hold become "?" (as the system's converter does).
QByteArray encode(const QString &text, int codePage);
// Whether every character of the text can be written in the code page.
bool canEncode(const QString &text, int codePage);

void setUnknownCodePageHandler(std::function<void(const QString &message)> handler);
} // namespace CodePage
