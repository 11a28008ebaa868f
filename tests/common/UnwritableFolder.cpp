#include "common/UnwritableFolder.h"

#include <QDir>
#include <QtTest>
#include <cerrno>
#include <cstring>

UnwritableFolder::UnwritableFolder(const QString &folder, Kind kind, rlim_t fullAt)
    : m_kind(kind)
{
    QDir().mkpath(folder);
    if (kind == ReadOnly)
        m_readOnly.emplace(folder);
    else
        m_full.emplace(fullAt);
}

bool UnwritableFolder::active() const
{
    return m_kind == Full || m_readOnly->active();
}

bool UnwritableFolder::endsWithTheReason(const QString &message) const
{
    if (m_kind == ReadOnly)
        return ReadOnlyFolder::endsWithTheRefusal(message);
    return message.endsWith(QString::fromLocal8Bit(std::strerror(EFBIG)));
}

void UnwritableFolder::addRows()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("read-only folder") << int(ReadOnly);
    QTest::newRow("full disk") << int(Full);
}
