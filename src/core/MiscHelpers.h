#pragma once

#include <QString>
#include <QVariant>

// Product texts, the status line's day text and a numeric maximum.
namespace MiscHelpers {
QVariant MaxValue(const QVariant &a, const QVariant &b);
QString WeekdayText();
QString ProductTitle();
QString WebSiteAddress();
QString VersionString();
QString AboutText();
} // namespace MiscHelpers
