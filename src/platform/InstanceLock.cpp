#include "platform/InstanceLock.h"
#include "platform/AppInfo.h"
#include "platform/Seams.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>
#include <QUrl>
#include <cerrno>
#include <csignal>
#include <memory>
#include <unistd.h>

namespace {
using Result = InstanceLock::Result;

std::unique_ptr<QLockFile> &heldLock()
{
    static std::unique_ptr<QLockFile> lock;
    Seams::OnReset(&lock, [] { InstanceLock::release(); });
    return lock;
}

// A lock file holds its owner's process id, application, host name, machine
// id and boot id, one a line; the last two are missing from files of older
// writers. Every line of a whole file ends with a line feed.
QList<QByteArray> linesOf(const QString &path)
{
    constexpr qint64 MaxRead = 4096;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.read(MaxRead).split('\n');
}

QString machineIdOf(const QString &path)
{
    const QList<QByteArray> lines = linesOf(path);
    return lines.size() > 3 ? QString::fromUtf8(lines[3].trimmed()) : QString();
}

// The name of a running process's program: its executable's file name, else
// (another user's process) its command name, which the system cuts to 15 bytes.
QByteArray programNameOf(qint64 pid, bool *cutShort)
{
    const QByteArray proc = "/proc/" + QByteArray::number(pid);
    char target[4096];
    const ssize_t length = ::readlink((proc + "/exe").constData(), target, sizeof target - 1);
    *cutShort = false;
    if (length > 0) {
        QByteArray name(target, length);
        name = name.mid(name.lastIndexOf('/') + 1);
        constexpr char Deleted[] = " (deleted)"; // the program was replaced while it ran
        if (name.endsWith(Deleted))
            name.chop(int(sizeof Deleted) - 1);
        return name;
    }
    QFile comm(QFile::decodeName(proc + "/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return QByteArray();
    *cutShort = true;
    return comm.readAll().trimmed();
}

// Whether a lock on this machine is held by this program, running on this boot:
// a whole lock file, naming this program, whose boot is this one (a lock without
// a boot id is from an older writer and is judged without it), and whose process
// runs this program. A process id in use again after a reboot, or by another
// program, holds nothing.
bool heldByThisProgram(const QString &path)
{
    const QList<QByteArray> lines = linesOf(path);
    // A whole file has its three lines at least, and ends with the last one's line feed.
    if (lines.size() < 4 || !lines.last().isEmpty())
        return false;
    bool isNumber = false;
    const qint64 pid = lines[0].trimmed().toLongLong(&isNumber);
    const QByteArray application = lines[1];
    bool cutShort = false;
    const QByteArray thisProgram = programNameOf(QCoreApplication::applicationPid(), &cutShort);
    if (!isNumber || pid <= 0 || application.isEmpty() || application != thisProgram)
        return false;
    const QByteArray boot = lines.size() > 5 ? lines[4].trimmed() : QByteArray();
    if (!boot.isEmpty() && boot != QSysInfo::bootUniqueId())
        return false;
    if (::kill(pid_t(pid), 0) != 0 && errno != EPERM)
        return false;
    const QByteArray running = programNameOf(pid, &cutShort);
    return !running.isEmpty() && (cutShort ? application.startsWith(running) : application == running);
}

// Whether files can be made and removed in the folder of a path.
bool folderWritable(const QString &path)
{
    return ::access(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), W_OK) == 0;
}

// The rule the lock itself uses to tell whether it can check the owner's process.
bool onThisMachine(const QString &host, const QString &machineId)
{
    return (host.isEmpty() || host == QSysInfo::machineHostName()) &&
           (machineId.isEmpty() || machineId.toUtf8() == QSysInfo::machineUniqueId());
}

// Tries one place. Only a lock whose process is gone counts as stale, never an
// old one: the lock is held for the whole run.
Result tryTake(const QString &path, std::unique_ptr<QLockFile> *taken, InstanceLock::Holder *holder)
{
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return Result::Unavailable;
    auto candidate = std::make_unique<QLockFile>(path);
    candidate->setStaleLockTime(0);
    if (candidate->tryLock(0)) {
        *taken = std::move(candidate);
        return Result::Taken;
    }
    if (candidate->error() != QLockFile::LockFailedError)
        return Result::Unavailable;
    qint64 pid = 0;
    QString host, application;
    if (!candidate->getLockInfo(&pid, &host, &application)) {
        // A lock file that names no process was cut short by a crash; a copy
        // still writing its own holds the file locked, so it cannot be removed.
        // Where the folder is read-only, nobody can be writing one there: it
        // holds nothing, and the lock goes to the next place.
        if (!candidate->removeStaleLockFile() || !candidate->tryLock(0))
            return folderWritable(path) ? Result::HeldByAnother : Result::Unavailable;
        *taken = std::move(candidate);
        return Result::Taken;
    }
    const QString machineId = machineIdOf(path);
    if (onThisMachine(host, machineId)) {
        // QLockFile removes a stale lock where it can. One that stays is held
        // only when this program runs under it on this boot; any other could
        // not go because this place is read-only now, and holds nothing.
        return heldByThisProgram(path) ? Result::HeldByAnother : Result::Unavailable;
    }
    if (holder)
        *holder = {path, host, machineId, pid};
    return Result::HeldElsewhere;
}

// A place the lock may be held in besides the one taken: a copy that could not
// lock in the settings folder (it was read-only or full then) holds it there.
Result checkOther(const QString &path, InstanceLock::Holder *holder)
{
    if (!QFileInfo::exists(path))
        return Result::Unavailable;
    std::unique_ptr<QLockFile> stale;
    const Result found = tryTake(path, &stale, holder);
    // A stale lock taken here goes with `stale`.
    return found == Result::Taken ? Result::Unavailable : found;
}
} // namespace

QString InstanceLock::lockFilePath(const QString &folder)
{
    return QDir(folder).filePath(AppInfo::title() + QStringLiteral(".lock"));
}

QStringList InstanceLock::fallbackLockFiles(const QString &folder)
{
    const QFileInfo info(folder);
    const QString path = info.exists() ? info.canonicalFilePath() : QDir::cleanPath(info.absoluteFilePath());
    // The folder's path, "/" and all, as a file name: one lock per settings folder.
    QString name = QString::fromLatin1(QUrl::toPercentEncoding(path));
    constexpr qsizetype MaxNameLength = 200;
    if (name.size() > MaxNameLength)
        name = name.right(MaxNameLength - 17) + QLatin1Char('.') +
               QString::fromLatin1(
                   QCryptographicHash::hash(path.toUtf8(), QCryptographicHash::Sha1).toHex().left(16));
    name += QStringLiteral(".lock");
    QStringList files;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QDir::isAbsolutePath(runtime))
        files.append(QDir(runtime).filePath(AppInfo::title() + QLatin1Char('/') + name));
    files.append(AppInfo::cacheFolder() + name);
    return files;
}

InstanceLock::Result InstanceLock::acquire(const QString &folder, Holder *holder)
{
    const QStringList places = QStringList{lockFilePath(folder)} + fallbackLockFiles(folder);
    std::unique_ptr<QLockFile> &lock = heldLock();
    if (lock && places.contains(lock->fileName()))
        return Result::Taken;
    release();
    std::unique_ptr<QLockFile> taken;
    Result result = Result::Unavailable;
    for (const QString &place : places) {
        result = tryTake(place, &taken, holder);
        if (result != Result::Unavailable)
            break;
    }
    if (result != Result::Taken)
        return result;
    for (const QString &place : places) {
        if (place == taken->fileName())
            continue;
        const Result other = checkOther(place, holder);
        if (other != Result::Unavailable)
            return other;
    }
    lock = std::move(taken);
    return Result::Taken;
}

InstanceLock::Result InstanceLock::takeOver(const QString &folder, const Holder &holder, Holder *next)
{
    // Only the lock the reader was asked about goes: one whose owner changed
    // since is asked about anew.
    QLockFile current(holder.lockFile);
    qint64 pid = 0;
    QString host, application;
    if (current.getLockInfo(&pid, &host, &application) && pid == holder.pid && host == holder.host &&
        machineIdOf(holder.lockFile) == holder.machineId && !QFile::remove(holder.lockFile))
        return Result::Unavailable;
    return acquire(folder, next);
}

QString InstanceLock::heldLockFile()
{
    const std::unique_ptr<QLockFile> &lock = heldLock();
    return lock ? lock->fileName() : QString();
}

void InstanceLock::release()
{
    heldLock().reset();
}
