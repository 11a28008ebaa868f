#pragma once

#include <QDateTime>
#include <QString>

// Date formats as the user stores them (setting "DF"): the letters of the forms
// runtime ("dd-MMM-yyyy", "hh:nn AM/PM", "dddd d mmmm yyyy"), with Sunday the
// first day of the week and the week holding 1 January the first week.
namespace DateFormatText {
// The same format in Qt's letters; the values that Qt has no letter for (day of
// the week or year as a number, week of the year, quarter, "A/P") are put in as
// quoted text for the given moment.
QString ToQtFormat(const QString &runtimeFormat, const QDateTime &when);
// The moment formatted in the user's locale.
QString Format(const QDateTime &when, const QString &runtimeFormat);
} // namespace DateFormatText
