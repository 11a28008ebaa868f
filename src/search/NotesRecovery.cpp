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

// The temporary folder is everybody's: only a folder of this user's own, which
// nobody else can write to, holds the notes or is offered from.
bool isOwnPrivateFolder(const QString &folder)
{
    struct stat info = {};
    return ::lstat(QFile::encodeName(folder).constData(), &info) == 0 && S_ISDIR(info.st_mode) &&
           info.st_uid == ::getuid() && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

void makeFolder(const QString &folder)
{
    if (folder == temporaryFolder()) {
        if (::mkdir(QFile::encodeName(folder).constData(), S_IRWXU) != 0 && errno != EEXIST)
            raiseFileUnwritable(QStringLiteral("Verbanox.NotesRecovery"), folder, qt_error_string(errno));
        if (!isOwnPrivateFolder(folder))
            raiseFileUnwritable(QStringLiteral("Verbanox.NotesRecovery"), folder,
                                QStringLiteral("the folder is not the user's own"));
        return;
    }
    if (!QDir().mkpath(folder))
        raiseFileUnwritable(QStringLiteral("Verbanox.NotesRecovery"), folder, qt_error_string(errno));
}

QString newRunFile(const QString &folder)
{
    const QString stem =
        folder + WaitingPrefix + desktop().now().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    QString path = stem + Extension;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral(" (%1)").arg(n) + Extension;
    return path;
}

// Writes the notes to a new file in the first folder that takes them.
QString keepInNewFile(const QByteArray &rtf, const QString &skippedFolder, QStringList *failures)
{
    for (const QString &folder : NotesRecovery::Folders()) {
        if (folder == skippedFolder)
            continue;
        try {
            makeFolder(folder);
            const QString path = newRunFile(folder);
            TextFiles::writeAtomically(path, rtf);
            return path;
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
            TextFiles::writeAtomically(runFile(), rtf);
            return runFile();
        } catch (const RuntimeError &e) {
            // Its folder takes no new file either; the older notes stay until newer ones are kept.
            failures.append(e.description());
            runFolder = QFileInfo(runFile()).absolutePath() + QLatin1Char('/');
        }
    }
    const QString path = keepInNewFile(rtf, runFolder, &failures);
    if (path.isEmpty())
        raiseError(RtErr::PathFileAccessError, QStringLiteral("Verbanox.NotesRecovery"),
                   failures.join(QStringLiteral("; ")));
    if (!runFile().isEmpty())
        QFile::remove(runFile());
    runFile() = path;
    return path;
}

void Discard()
{
    if (runFile().isEmpty())
        return;
    QFile::remove(runFile());
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
