#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// The size and modification time of a module file when its chapter index was
// built from it. The index file keeps it as its first line, so that an index
// whose module changed since (cut short, replaced, edited) is built anew, as a
// missing one is. A module file whose last line had no line end (cut short)
// is marked so in the stamp: every later start can tell the reader without
// reading the module.
class IndexStamp
{
public:
    // The stamp of the file as it is now; a missing file has size -1.
    static IndexStamp OfFile(const QString &path);
    // Takes the stamp line off the front of an index file's lines. An index
    // without one (written before stamps were kept) or with a damaged one tells
    // nothing of the module it was built from: callers take it as stale.
    static std::optional<IndexStamp> TakeFrom(QStringList &lines);

    // The same stamp, marked as that of a file cut short.
    IndexStamp CutShort() const;
    bool IsCutShort() const { return m_cutShort; }
    // The file's size; -1 for a missing file.
    qint64 Size() const { return m_size; }
    // Whether the stamps name the same state of a file (its mark aside).
    bool SameFile(const IndexStamp &other) const
    {
        return m_size == other.m_size && m_modified == other.m_modified;
    }

    QString Line() const;

private:
    qint64 m_size = -1;
    qint64 m_modified = 0; // milliseconds since 1970, UTC
    bool m_cutShort = false;
};
