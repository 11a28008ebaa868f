#include "BenchSupport.h"

#include "AppInfo.h"
#include "GlobalVars.h"
#include "SettingsStore.h"

#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <vector>

double medianMilliseconds(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void printRow(const QString &what, double milliseconds)
{
    std::printf("%-60s %9.2f ms\n", qPrintable(what), milliseconds);
    std::fflush(stdout);
}

BenchProgramFolder::BenchProgramFolder()
{
    const QString data = QStringLiteral(VX_SOURCE_DIR "/data");
    QDirIterator it(data, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        const QString target = path() + file.mid(data.size() + 1);
        QDir().mkpath(QFileInfo(target).absolutePath());
        QFile::copy(file, target);
    }
    qputenv("XDG_CONFIG_HOME", (path() + QStringLiteral("config")).toUtf8());
    SettingsStore::resetInstance();
    AppInfo::setProgramFolder(path());
    gProgramFolder = path();
    gMsgFolder = path() + QStringLiteral("msg/");
    gIndexFolder = path() + QStringLiteral("Index/");
    gScratchFolder = path() + QStringLiteral("Scratch/");
    gSysDefsFolder = path() + QStringLiteral("SysDefs/");
    gModuleFolder = path() + QStringLiteral("Modules/");
    gBibleFolder = gModuleFolder + QStringLiteral("Bible/");
    gCommentaryFolder = gModuleFolder + QStringLiteral("Commentary/");
    for (const QString &folder : {gIndexFolder, gScratchFolder})
        QDir().mkpath(folder);
}
