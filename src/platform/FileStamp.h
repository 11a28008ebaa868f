#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

// What a file held when the program last read or wrote it: its size, the time
// it was changed and its bytes. Compared with the file later, it tells whether
// another program (or another copy of this one) has written it since. The bytes
// are the ones the caller read or wrote, shared, not copied: stamping costs
// nothing on opening a large file, and they are compared only when the size or
// the time differs.
class FileStamp
{
public:
    FileStamp() = default;
    // The file as it is on disk now, holding the given bytes.
    static FileStamp of(const QString &path, const QByteArray &bytes);

    bool isNull() const { return m_size < 0; }
    // True when the file holds other bytes than it did when stamped. A file that
    // has gone counts as unchanged: writing it again loses nothing.
    bool changedOnDisk(const QString &path) const;

private:
    qint64 m_size = -1;
    QDateTime m_modified;
    QByteArray m_bytes;
};
