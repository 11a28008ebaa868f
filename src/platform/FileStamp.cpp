#include "platform/FileStamp.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>

FileStamp FileStamp::of(const QString &path, const QByteArray &bytes)
{
    FileStamp stamp;
    const QFileInfo info(path);
    stamp.m_size = std::max<qint64>(info.size(), 0);
    stamp.m_modified = info.lastModified();
    stamp.m_bytes = bytes;
    return stamp;
}

bool FileStamp::changedOnDisk(const QString &path) const
{
    if (isNull())
        return false;
    const QFileInfo info(path);
    if (!info.exists())
        return false;
    if (info.size() == m_size && info.lastModified() == m_modified)
        return false;
    // Written again with the same bytes (a copy, a touch) is no change.
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return true;
    return file.readAll() != m_bytes;
}
