#pragma once

#include <QString>
#include <QStringList>

// String clean-up.
namespace StringHelpers_ {
// The text without the character at the 1-based position; throws RuntimeError 5
// for a position outside the text.
QString RemoveCharAt(const QString &text, int position);
bool StringContains(const QString &text, const QString &part);
// Split with a limit (-1: no limit; the last piece keeps the rest), each piece cleaned.
QStringList SplitAndClean(const QString &text, const QString &delimiter, int limit = -1);
// Tabs become blanks, then blanks around the text are removed.
QString CleanToken(const QString &text);
// The runtime's Split: an empty text gives no pieces; limit -1 means all.
QStringList Split(const QString &text, const QString &delimiter, int limit = -1);
} // namespace StringHelpers_

using StringHelpers_::CleanToken;
using StringHelpers_::SplitAndClean;
