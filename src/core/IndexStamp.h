#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The size and modification time of a module file when its chapter index was
// built from it. The index file keeps it as its first line, so that an index
// whose module changed since (cut short, replaced, edited) is built anew, as a
// missing one is.
class IndexStamp
{
public:
    // The stamp of the file as it is now; a missing file has size -1.
    static IndexStamp OfFile(const QString &path);
    // Takes the stamp line off the front of an index file's lines. An index
    // without one (written before stamps were kept) or with a damaged one tells
    // nothing of the module it was built from: callers take it as stale.
    static std::optional<IndexStamp> TakeFrom(QStringList &lines);

    QString Line() const;
    bool operator==(const IndexStamp &other) const = default;

private:
    qint64 m_size = -1;
    qint64 m_modified = 0; // milliseconds since 1970, UTC
};
