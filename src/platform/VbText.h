#pragma once

#include <QString>

// The runtime's string trimming: only blanks (U+0020) are removed, never Tabs or
// line breaks.
namespace VbText {
QString Trim(const QString &text);
QString LTrim(const QString &text);
QString RTrim(const QString &text);
} // namespace VbText
