#pragma once

#include <QString>

// The service text of the audio-Bible web service: how it is unscrambled and
// the fields it carries.
namespace Mp3ServiceText {
// Longest title and message shown; the rest of a longer text is cut.
constexpr qsizetype MaxTitle = 200;
constexpr qsizetype MaxMessage = 8000;
constexpr qsizetype KeyLength = 27;

// Unscrambles a fetched text with the service key: the text reversed, its first
// character dropped, then three-digit groups each combined with the next key
// character. A group above 255 raises RuntimeError 6 (overflow).
QString Decrypt(const QString &text, const QString &key);
// The inverse, as the service produces its text (one extra character at the end).
QString Encrypt(const QString &plain, const QString &key);

struct Message
{
    bool serviceOk = false;
    QString downloadUrl;
    bool hasTitle = false;
    QString title;
    QString message;
    QString contactText;
    QString contactLink;
    QString hotText;
    QString hotLink;
};
// Splits an unscrambled text into its fields (at most five, split at Tabs).
Message Parse(const QString &text);
// Whether a link may be opened: an absolute http or https address with a host.
bool IsSafeLink(const QString &link);
} // namespace Mp3ServiceText
