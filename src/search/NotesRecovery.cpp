#include "search/NotesRecovery.h"

#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/RtfWriter.h"
#include "platform/RuntimeError.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const QString WaitingPrefix = QStringLiteral("Unsaved notes ");
const QString OfferedPrefix = QStringLiteral("Recovered notes ");
const QString Extension = QStringLiteral(".rtf");

// This run's file, named when the notes are first kept.
QString &runFile()
{
    static QString path;
    return path;
}

QString temporaryFolder()
{
    return QDir::tempPath() + QLatin1Char('/') + AppInfo::title() + QLatin1Char('-') +
           QString::number(::getuid()) + QLatin1Char('/');
}

QString source()
{
    return QStringLiteral("Verbanox.NotesRecovery");
}

// A folder's path as the system takes it: without its final "/", which would
// make the system follow a link at that name.
QByteArray systemPath(const QString &folder)
{
    QString path = folder;
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return QFile::encodeName(path);
}

// The temporary folder is everybody's: only the folder itself, not a link at
// its name, and one of this user's own that nobody else can write to, is
// offered from.
bool isOwnPrivateFolder(const QString &folder)
{
    struct stat info = {};
    return ::lstat(systemPath(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

// A folder the notes are written in, opened once: the file is written through
// it, so a link put at the folder's name meanwhile changes nothing.
class OpenFolder
{
public:
    explicit OpenFolder(const QString &folder)
        : m_folder(folder)
    {
        if (folder == temporaryFolder()) {
            openPrivate();
            return;
        }
        if (!QDir().mkpath(folder))
            refuse(qt_error_string(errno));
        m_fd = ::open(systemPath(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (m_fd < 0)
            refuse(qt_error_string(errno));
    }
    ~OpenFolder()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenFolder(const OpenFolder &) = delete;
    OpenFolder &operator=(const OpenFolder &) = delete;

    int fd() const { return m_fd; }
    const QString &path() const { return m_folder; }

private:
    [[noreturn]] void refuse(const QString &reason)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
        raiseFileUnwritable(source(), m_folder, reason);
    }

    // In the temporary folder, where anybody may have put something at that
    // name: the folder is opened without following a link, and what was opened
    // must be a folder of this user's own, which is then made theirs alone.
    void openPrivate()
    {
        const QByteArray path = systemPath(m_folder);
        if (::mkdir(path.constData(), S_IRWXU) != 0 && errno != EEXIST)
            refuse(qt_error_string(errno));
        m_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        struct stat info = {};
        if (m_fd < 0 && (errno == ELOOP || errno == ENOTDIR)) {
            const bool link = ::lstat(path.constData(), &info) == 0 && S_ISLNK(info.st_mode);
            refuse(link ? QStringLiteral("it is a symbolic link, not a folder of the user's own")
                        : QStringLiteral("it is not a folder"));
        }
        if (m_fd < 0)
            refuse(qt_error_string(errno));
        if (::fstat(m_fd, &info) != 0)
            refuse(qt_error_string(errno));
        if (info.st_uid != ::getuid())
            refuse(QStringLiteral("the folder belongs to another user (user id %1)").arg(info.st_uid));
        constexpr mode_t Others = S_IRWXG | S_IRWXO;
        if ((info.st_mode & Others) != 0 && ::fchmod(m_fd, S_IRWXU) != 0)
            refuse(QStringLiteral("other users may open the folder (its mode is %1), and it could not be "
                                  "made the user's alone: %2")
                       .arg(QString::number(info.st_mode & 07777, 8).rightJustified(4, QLatin1Char('0')),
                            qt_error_string(errno)));
    }

    QString m_folder;
    int m_fd = -1;
};

// A name of its own for this run's notes in an opened folder.
QString newRunFileName(const OpenFolder &folder)
{
    const QString stem = WaitingPrefix + desktop().now().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    const auto taken = [&folder](const QString &name) {
        struct stat info = {};
        if (::fstatat(folder.fd(), QFile::encodeName(name).constData(), &info, AT_SYMLINK_NOFOLLOW) == 0)
            return true;
        // A folder that cannot be searched tells of no name whether it is free:
        // trying the next would never end.
        if (errno != ENOENT)
            raiseFileUnwritable(source(), folder.path() + name, qt_error_string(errno));
        return false;
    };
    QString name = stem + Extension;
    for (int n = 2; taken(name); ++n)
        name = stem + QStringLiteral(" (%1)").arg(n) + Extension;
    return name;
}

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath() + QLatin1Char('/');
}

// Writes the notes to the file at a path, through its folder opened anew.
void writeNotes(const QString &path, const QByteArray &rtf)
{
    const OpenFolder folder(folderOf(path));
    TextFiles::writePrivatelyAt(folder.fd(), QFileInfo(path).fileName(), rtf, path);
}

void removeNotes(const QString &path)
{
    try {
        const OpenFolder folder(folderOf(path));
        ::unlinkat(folder.fd(), QFile::encodeName(QFileInfo(path).fileName()).constData(), 0);
    } catch (const RuntimeError &) {
        // A folder that cannot be opened now holds nothing of ours to remove.
    }
}

// Writes the notes to a new file in the first folder that takes them.
QString keepInNewFile(const QByteArray &rtf, const QString &skippedFolder, QStringList *failures)
{
    for (const QString &folder : NotesRecovery::Folders()) {
        if (folder == skippedFolder)
            continue;
        try {
            const OpenFolder opened(folder);
            const QString name = newRunFileName(opened);
            TextFiles::writePrivatelyAt(opened.fd(), name, rtf, folder + name);
            return folder + name;
        } catch (const RuntimeError &e) {
            failures->append(e.description());
        }
    }
    return QString();
}
} // namespace

namespace NotesRecovery {

QStringList Folders()
{
    return {AppInfo::dataFolder(), AppInfo::configFolder(), temporaryFolder()};
}

QString Keep(const QTextDocument &document)
{
    const QByteArray rtf = RtfWriter::write(document);
    QStringList failures;
    QString runFolder;
    if (!runFile().isEmpty()) {
        try {
            writeNotes(runFile(), rtf);
            return runFile();
        } catch (const RuntimeError &e) {
            // Its folder takes no new file either; the older notes stay until newer ones are kept.
            failures.append(e.description());
            runFolder = folderOf(runFile());
        }
    }
    const QString path = keepInNewFile(rtf, runFolder, &failures);
    if (path.isEmpty())
        raiseError(RtErr::PathFileAccessError, source(), failures.join(QStringLiteral("; ")));
    if (!runFile().isEmpty())
        removeNotes(runFile());
    runFile() = path;
    return path;
}

void Discard()
{
    if (runFile().isEmpty())
        return;
    removeNotes(runFile());
    runFile().clear();
}

void Prepare()
{
    runFile();
    Folders();
    desktop().now();
    const QTextDocument sample(QString::fromUtf8("\u00a9 \u20ac \u05d0"));
    RtfWriter::write(sample);
}

QStringList Waiting()
{
    QStringList paths;
    for (const QString &folder : Folders()) {
        if (folder == temporaryFolder() && !isOwnPrivateFolder(folder))
            continue;
        for (const QString &name : FileNames::listFiles(folder, WaitingPrefix + QLatin1Char('*') + Extension))
            paths.append(folder + name);
    }
    // The names hold the time they were kept at, so their order is the time's.
    std::stable_sort(paths.begin(), paths.end(), [](const QString &a, const QString &b) {
        return QFileInfo(a).fileName() < QFileInfo(b).fileName();
    });
    return paths;
}

QString OfferedName(const QString &path)
{
    const QFileInfo info(path);
    if (!QFileInfo(info.absolutePath()).isWritable())
        return path;
    return info.absolutePath() + QLatin1Char('/') + OfferedPrefix + info.fileName().mid(WaitingPrefix.size());
}

QString MarkOffered(const QString &path)
{
    const QString offered = OfferedName(path);
    return offered != path && QFile::rename(path, offered) ? offered : path;
}

} // namespace NotesRecovery
