#pragma once

#include <QByteArray>
#include <QString>
#include <array>
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
// The most characters that decode gives for so many bytes.
qsizetype maxDecodedLength(qsizetype size, int codePage);
// Writes what decode gives to out, which has room for maxDecodedLength
// characters, and returns how many it wrote.
qsizetype decodeInto(const char *bytes, qsizetype size, int codePage, QChar *out);
// Characters the code page cannot hold become "?" (as the system's converter does).
QByteArray encode(const QString &text, int codePage);
// Whether every character of the text can be written in the code page.
bool canEncode(const QString &text, int codePage);
// The character of each byte when the code page (as decode reads it) has one
// character per byte; null for UTF-8 and the multi-byte code pages.
const std::array<char16_t, 256> *singleByteTable(int codePage);

void setUnknownCodePageHandler(std::function<void(const QString &message)> handler);
} // namespace CodePage
