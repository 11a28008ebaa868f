#include "core/MiscHelpers.h"
#include "core/BibleBookNames.h"
#include "core/Bug_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/AppInfo.h"

#include <QLocale>

namespace {
bool isNumeric(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Float:
    case QMetaType::Double:
    case QMetaType::UChar:
    case QMetaType::QDate:
    case QMetaType::QDateTime:
        return true;
    default:
        return false;
    }
}
} // namespace

namespace MiscHelpers {

QVariant MaxValue(const QVariant &a, const QVariant &b)
{
    Assert(isNumeric(a), QStringLiteral("Arguments must be of a numeric type"));
    return QVariant::compare(a, b) == QPartialOrdering::Less ? b : a;
}

QString WeekdayText()
{
    const QDate today = desktop().now().date();
    if (today.dayOfWeek() == Qt::Sunday)
        return BookNames().Abbreviation(3) + QStringLiteral("23:3");
    return QLocale::system().dayName(today.dayOfWeek(), QLocale::LongFormat);
}

QString ProductTitle()
{
    return AppInfo::title();
}

QString WebSiteAddress()
{
    return QStringLiteral("http://www.verbanox.org/");
}

QString VersionString()
{
    return QStringLiteral("Version %1.%2 Build 0%3")
        .arg(AppInfo::versionMajor())
        .arg(AppInfo::versionMinor())
        .arg(AppInfo::versionRevision());
}

QString AboutText()
{
    return MsgSupport::GetMsg(0, 99, QString());
}

} // namespace MiscHelpers
