#include "abi/VxHelpersAbi.h"

#include <QCoreApplication>
#include <QString>
#include <QVariantMap>

// Compiled into both the program and libVxHelpers.so: the table lives on the
// application object so that both binaries hand out the same numbers.
namespace {
constexpr const char *TableProperty = "vxClipboardFormats";
constexpr uint32_t FirstRegisteredFormat = 0xC000;
constexpr uint32_t LastRegisteredFormat = 0xFFFF;
constexpr qsizetype MaxFormatNameLength = 255;

// Without an application object (a plain command-line tool) each binary keeps its own.
QVariantMap &localTable()
{
    static QVariantMap table;
    return table;
}
} // namespace

namespace VxAbi {

uint16_t RegisterClipboardFormat(const char *name)
{
    if (!name)
        return 0;
    const QString key = QString::fromUtf8(name).toCaseFolded();
    if (key.isEmpty() || key.size() > MaxFormatNameLength)
        return 0;
    QCoreApplication *app = QCoreApplication::instance();
    QVariantMap table = app ? app->property(TableProperty).toMap() : localTable();
    const auto found = table.constFind(key);
    if (found != table.constEnd())
        return uint16_t(found->toUInt());
    const uint32_t next = FirstRegisteredFormat + uint32_t(table.size());
    if (next > LastRegisteredFormat)
        return 0;
    table.insert(key, next);
    if (app)
        app->setProperty(TableProperty, table);
    else
        localTable() = table;
    return uint16_t(next);
}

} // namespace VxAbi
