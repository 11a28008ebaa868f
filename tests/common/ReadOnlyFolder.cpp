#include "common/ReadOnlyFolder.h"

#include <QDirIterator>
#include <QFile>
#include <QProcess>
#include <cerrno>
#include <cstring>
#include <unistd.h>

ReadOnlyFolder::ReadOnlyFolder(const QString &folder)
    : m_folder(folder)
{
    if (geteuid() == 0) {
        m_mounted = run({QStringLiteral("--bind"), m_folder, m_folder});
        if (m_mounted)
            run({QStringLiteral("-o"), QStringLiteral("remount,bind,ro"), m_folder});
    } else {
        setWritable(false);
    }
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_mounted)
        QProcess::execute(QStringLiteral("umount"), {m_folder});
    else if (geteuid() != 0)
        setWritable(true);
}

bool ReadOnlyFolder::active() const
{
    QFile probe(m_folder + QStringLiteral("/.probe"));
    if (!probe.open(QIODevice::WriteOnly))
        return true;
    probe.remove();
    return false;
}

bool ReadOnlyFolder::endsWithTheRefusal(const QString &message)
{
    return message.endsWith(QString::fromLocal8Bit(std::strerror(EROFS))) ||
           message.endsWith(QString::fromLocal8Bit(std::strerror(EACCES)));
}

bool ReadOnlyFolder::run(const QStringList &arguments)
{
    QProcess mount;
    mount.start(QStringLiteral("mount"), arguments);
    return mount.waitForFinished(10000) && mount.exitStatus() == QProcess::NormalExit &&
           mount.exitCode() == 0;
}

void ReadOnlyFolder::setWritable(bool writable) const
{
    const QFileDevice::Permissions write = QFileDevice::WriteOwner | QFileDevice::WriteUser;
    QDirIterator it(m_folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                    QDirIterator::Subdirectories);
    QStringList paths{m_folder};
    while (it.hasNext())
        paths.append(it.next());
    for (const QString &path : paths) {
        const QFileDevice::Permissions now = QFile::permissions(path);
        QFile::setPermissions(path, writable ? now | write : now & ~write);
    }
}
