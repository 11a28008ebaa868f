#include "core/IndexStamp.h"

#include <QDateTime>
#include <QFileInfo>

namespace {
// "#<size>,<time>", then ",cut" for a file cut short: no record line starts with "#".
const QLatin1Char Mark('#');
const QLatin1String CutShortMark("cut");
} // namespace

IndexStamp IndexStamp::OfFile(const QString &path)
{
    IndexStamp stamp;
    const QFileInfo info(path);
    if (info.exists()) {
        stamp.m_size = info.size();
        stamp.m_modified = info.lastModified().toMSecsSinceEpoch();
    }
    return stamp;
}

std::optional<IndexStamp> IndexStamp::TakeFrom(QStringList &lines)
{
    if (lines.isEmpty() || !lines.first().startsWith(Mark))
        return std::nullopt;
    const QStringList fields = lines.takeFirst().mid(1).split(QLatin1Char(','));
    bool sizeOk = false, timeOk = false;
    IndexStamp stamp;
    if (fields.size() == 2 || (fields.size() == 3 && fields[2] == CutShortMark)) {
        stamp.m_size = fields[0].toLongLong(&sizeOk);
        stamp.m_modified = fields[1].toLongLong(&timeOk);
        stamp.m_cutShort = fields.size() == 3;
    }
    // A damaged stamp tells no more than a missing one.
    if (!sizeOk || !timeOk || stamp.m_size < 0)
        return std::nullopt;
    return stamp;
}

IndexStamp IndexStamp::CutShort() const
{
    IndexStamp stamp = *this;
    stamp.m_cutShort = true;
    return stamp;
}

QString IndexStamp::Line() const
{
    const QString line = Mark + QString::number(m_size) + QLatin1Char(',') + QString::number(m_modified);
    return m_cutShort ? line + QLatin1Char(',') + CutShortMark : line;
}
