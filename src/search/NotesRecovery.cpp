#include "search/NotesRecovery.h"

#include "platform/AppInfo.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/RtfWriter.h"
#include "platform/TextFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextDocument>

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

QString newRunFile()
{
    const QString stem = NotesRecovery::Folder() + WaitingPrefix +
                         desktop().now().toString(QStringLiteral("yyyy-MM-dd hh.mm.ss"));
    QString path = stem + Extension;
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = stem + QStringLiteral(" (%1)").arg(n) + Extension;
    return path;
}
} // namespace

namespace NotesRecovery {

QString Folder()
{
    return AppInfo::dataFolder();
}

QString Keep(const QTextDocument &document)
{
    QDir().mkpath(Folder());
    if (runFile().isEmpty())
        runFile() = newRunFile();
    TextFiles::writeAtomically(runFile(), RtfWriter::write(document));
    return runFile();
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
    Folder();
    desktop().now();
    const QTextDocument sample(QString::fromUtf8("\u00a9 \u20ac \u05d0"));
    RtfWriter::write(sample);
}

QStringList Waiting()
{
    QStringList paths;
    // The names hold the time they were kept at, so their order is the time's.
    for (const QString &name : FileNames::listFiles(Folder(), WaitingPrefix + QLatin1Char('*') + Extension))
        paths.append(Folder() + name);
    paths.sort();
    return paths;
}

QString MarkOffered(const QString &path)
{
    const QFileInfo info(path);
    const QString offered =
        info.absolutePath() + QLatin1Char('/') + OfferedPrefix + info.fileName().mid(WaitingPrefix.size());
    return QFile::rename(path, offered) ? offered : path;
}

} // namespace NotesRecovery
