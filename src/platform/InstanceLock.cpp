#include "platform/InstanceLock.h"
#include "platform/AppInfo.h"
#include "platform/Seams.h"

#include <QDir>
#include <QLockFile>
#include <cerrno>
#include <memory>

namespace {
std::unique_ptr<QLockFile> &heldLock()
{
    static std::unique_ptr<QLockFile> lock;
    Seams::OnReset(&lock, [] { InstanceLock::release(); });
    return lock;
}
} // namespace

QString InstanceLock::lockFilePath(const QString &folder)
{
    return QDir(folder).filePath(AppInfo::title() + QStringLiteral(".lock"));
}

InstanceLock::Result InstanceLock::acquire(const QString &folder, QString *reason)
{
    const QString path = lockFilePath(folder);
    std::unique_ptr<QLockFile> &lock = heldLock();
    if (lock && lock->fileName() == path)
        return Result::Taken;
    release();
    if (!QDir().mkpath(folder)) {
        if (reason)
            *reason = qt_error_string(errno);
        return Result::Unavailable;
    }
    auto candidate = std::make_unique<QLockFile>(path);
    // Held for the whole run: only a lock whose process is gone counts as stale, never an old one.
    candidate->setStaleLockTime(0);
    errno = 0;
    if (!candidate->tryLock(0)) {
        if (candidate->error() != QLockFile::LockFailedError) {
            if (reason)
                *reason =
                    errno != 0 ? qt_error_string(errno) : QStringLiteral("the lock file cannot be written");
            return Result::Unavailable;
        }
        // A lock file that names no process was cut short by a crash; a copy
        // still writing its own holds the file locked, so it cannot be removed.
        qint64 pid = 0;
        QString host, application;
        if (candidate->getLockInfo(&pid, &host, &application) || !candidate->removeStaleLockFile() ||
            !candidate->tryLock(0))
            return Result::HeldByAnother;
    }
    lock = std::move(candidate);
    return Result::Taken;
}

void InstanceLock::release()
{
    heldLock().reset();
}
