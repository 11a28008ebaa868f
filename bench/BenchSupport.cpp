#include "BenchSupport.h"

#include "core/GlobalVars.h"
#include "platform/AppInfo.h"
#include "platform/SettingsStore.h"
#include "platform/TestDesktop.h"

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
    // The helper library is loaded from the program folder.
    QFile::copy(QStringLiteral(VX_PROGRAM_DIR "/libVxHelpers.so"),
                path() + QStringLiteral("libVxHelpers.so"));
    // A benchmark never waits for a person: questions are answered at once and
    // printed, so that an unexpected one shows in the output.
    auto recording = std::make_unique<TestDesktop>();
    m_desktop = recording.get();
    setDesktop(std::move(recording));
    qputenv("XDG_CONFIG_HOME", (path() + QStringLiteral("config")).toUtf8());
    SettingsStore::resetInstance();
    AppInfo::setProgramFolder(path());
    gProgramFolder = path();
    gMsgFolder = path() + QStringLiteral("msg/");
    gIndexFolder = path() + QStringLiteral("Index/");
    gScratchFolder = path() + QStringLiteral("Scratch/");
    gUserDataFolder = path();
    gSysDefsFolder = path() + QStringLiteral("SysDefs/");
    gModuleFolder = path() + QStringLiteral("Modules/");
    gBibleFolder = gModuleFolder + QStringLiteral("Bible/");
    gCommentaryFolder = gModuleFolder + QStringLiteral("Commentary/");
    for (const QString &folder : {gIndexFolder, gScratchFolder})
        QDir().mkpath(folder);
}

BenchProgramFolder::~BenchProgramFolder()
{
    for (const TestDesktop::Shown &shown : m_desktop->messageBoxes())
        std::fprintf(stderr, "message box shown during the benchmark: %s\n", qPrintable(shown.text));
}
