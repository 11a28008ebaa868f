// The time from starting the program to its main window shown with a book in the
// reading pane, next to the time a bare Qt program takes to show one empty window.
// Both are child processes of this benchmark, timed from their start until they
// report "shown", so process start and library loading count alike. The program
// runs its real start-up in a temporary program folder with the shipped data.

#include "BenchSupport.h"

#include "controls/NewRichText.h"
#include "core/GlobalVars.h"
#include "core/MainStartup.h"
#include "mainwindow/BibleBrowser.h"
#include "mainwindow/MainMenu.h"
#include "mainwindow/NoBibles.h"
#include "mainwindow/frmMessages.h"
#include "platform/AppInfo.h"
#include "platform/KeyState.h"
#include "platform/TestDesktop.h"

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QWindow>
#include <algorithm>
#include <cstdio>
#include <unistd.h>
#include <vector>

namespace {
const char *const ProgramChild = "--program";
const char *const BareChild = "--bare";

bool exposed(QWidget *window)
{
    return window && window->isVisible() && window->windowHandle() && window->windowHandle()->isExposed();
}

void reportShown(const QElapsedTimer &sinceMain)
{
    std::printf("shown %.2f\n", sinceMain.nsecsElapsed() / 1e6);
    std::fflush(stdout);
    // Like the program's own end: nothing else runs.
    ::_exit(0);
}

int runProgram(int argc, char *argv[], const QString &programFolder)
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Verbanox"));
    AppInfo::setProgramFolder(programFolder);
    // Nothing may wait for a person; a question asked would show in the output.
    auto recording = std::make_unique<TestDesktop>();
    TestDesktop *desk = recording.get();
    setDesktop(std::move(recording));
    KeyState::instance();
    frmMessages::Register();
    MainMenu::Register();
    NoBibles::Register();
    MainStartup::Main();

    auto *main = qobject_cast<MainMenu *>(gMainForm);
    if (!main) {
        std::fprintf(stderr, "no main window\n");
        return 1;
    }
    while (!exposed(main) || main->BibleBrowser1->RichText1->Text().isEmpty())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    for (const TestDesktop::Shown &shown : desk->messageBoxes())
        std::fprintf(stderr, "message box shown at start: %s\n", qPrintable(shown.text));
    reportShown(sinceMain);
    return 0;
}

int runBare(int argc, char *argv[])
{
    QElapsedTimer sinceMain;
    sinceMain.start();
    QApplication app(argc, argv);
    QWidget window;
    window.resize(533, 533);
    window.show();
    while (!exposed(&window))
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    reportShown(sinceMain);
    return 0;
}

// The program folder as shipped: the built one's data and helper library.
void prepareProgramFolder(const QString &folder, const QString &configHome)
{
    const QString shipped = QStringLiteral(VX_PROGRAM_DIR "/");
    for (const QString &sub : {QStringLiteral("msg"), QStringLiteral("SysDefs"), QStringLiteral("Modules")}) {
        QDirIterator it(shipped + sub, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            const QString target = folder + file.mid(shipped.size());
            QDir().mkpath(QFileInfo(target).absolutePath());
            QFile::copy(file, target);
        }
    }
    QFile::copy(shipped + QStringLiteral("libVxHelpers.so"), folder + QStringLiteral("libVxHelpers.so"));
    // The splash would hold the window back for ten seconds; everything else is a
    // first start.
    QDir().mkpath(configHome + QStringLiteral("/Verbanox"));
    QFile ini(configHome + QStringLiteral("/Verbanox/Verbanox.ini"));
    if (ini.open(QIODevice::WriteOnly))
        ini.write("[Settings]\r\nShowSplash=False\r\n");
}

struct ChildTime
{
    double wall = -1;      // from starting the process to "shown"
    double inProcess = -1; // from main() to "shown", as the child measured it
};

ChildTime timeChild(const QStringList &arguments, const QString &configHome)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), configHome);
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    child.start(QCoreApplication::applicationFilePath(), arguments);
    ChildTime result;
    QByteArray output;
    while (child.waitForReadyRead(30000)) {
        output += child.readAllStandardOutput();
        const qsizetype at = output.indexOf("shown ");
        if (at >= 0 && output.indexOf('\n', at) > at) {
            result.wall = timer.nsecsElapsed() / 1e6;
            result.inProcess = output.mid(at + 6, output.indexOf('\n', at) - at - 6).toDouble();
            break;
        }
    }
    child.waitForFinished(10000);
    return result;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? -1 : values[values.size() / 2];
}
} // namespace

int main(int argc, char *argv[])
{
    if (argc >= 3 && qstrcmp(argv[1], ProgramChild) == 0)
        return runProgram(argc, argv, QString::fromLocal8Bit(argv[2]));
    if (argc >= 2 && qstrcmp(argv[1], BareChild) == 0)
        return runBare(argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.path() + QStringLiteral("/program/");
    const QString configHome = dir.path() + QStringLiteral("/config");
    prepareProgramFolder(folder, configHome);
    const QStringList program{QString::fromLatin1(ProgramChild), folder};
    const QStringList bare{QString::fromLatin1(BareChild)};

    // The first start builds the chapter index of the book it shows.
    const ChildTime first = timeChild(program, configHome);
    const int runs = 9;
    std::vector<double> programWall, programIn, bareWall, bareIn;
    for (int i = 0; i < runs; ++i) {
        const ChildTime p = timeChild(program, configHome);
        const ChildTime b = timeChild(bare, configHome);
        programWall.push_back(p.wall);
        programIn.push_back(p.inProcess);
        bareWall.push_back(b.wall);
        bareIn.push_back(b.inProcess);
    }

    std::printf("median of %d starts each, offscreen; target: program under 500 ms\n", runs);
    printRow(QStringLiteral("baseline: bare Qt program, one empty window shown"), median(bareWall));
    printRow(QStringLiteral("  of which after main() began"), median(bareIn));
    printRow(QStringLiteral("program: main window shown with a book displayed"), median(programWall));
    printRow(QStringLiteral("  of which after main() began"), median(programIn));
    printRow(QStringLiteral("program, first start (index built)"), first.wall);
    return 0;
}
