#include "platform/ShutdownGuard.h"
#include "platform/InstanceLock.h"

#include <QGuiApplication>
#include <QSessionManager>
#include <QSocketNotifier>
#include <array>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

namespace {
constexpr std::array<int, 3> WatchedSignals{SIGTERM, SIGHUP, SIGINT};

int signalPipe[2] = {-1, -1};

ShutdownGuard::Keeper &keeper()
{
    static ShutdownGuard::Keeper keep;
    return keep;
}

// Whether the program's windows still exist for the keeper to read.
bool &armed()
{
    static bool value = false;
    return value;
}

void keep()
{
    if (armed() && keeper())
        keeper()();
}

extern "C" void onSignal(int number)
{
    // Only what is safe in a signal handler: one write, errno left as it was.
    const int saved = errno;
    const char byte = char(number);
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = saved;
}

extern "C" void keepWhenExiting()
{
    keep();
}
} // namespace

ShutdownGuard::ShutdownGuard(int readEnd)
    : QObject(QCoreApplication::instance())
    , m_notifier(new QSocketNotifier(readEnd, QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &ShutdownGuard::SignalArrived);
}

void ShutdownGuard::install(Keeper keepUnsaved)
{
    auto *app = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    if (!app || armed() || ::pipe2(signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    keeper() = std::move(keepUnsaved);
    armed() = true;
    auto *guard = new ShutdownGuard(signalPipe[0]);
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    // A signal's handler is given up as it runs: a program whose window thread
    // hangs never reads the pipe, and the same signal sent again then ends it as
    // its default does. Another signal is still caught: the end of a session
    // sends SIGHUP right after SIGTERM, and the notes are kept all the same.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    for (int number : WatchedSignals) {
        // A signal ignored from the start (nohup) stays ignored: the program
        // was asked to outlive its terminal.
        struct sigaction before = {};
        if (::sigaction(number, nullptr, &before) == 0 && before.sa_handler == SIG_IGN)
            continue;
        ::sigaction(number, &action, nullptr);
    }
    connect(app, &QGuiApplication::commitDataRequest, guard, [] { keep(); });
    connect(app, &QGuiApplication::saveStateRequest, guard, [] { keep(); });
    connect(app, &QCoreApplication::aboutToQuit, guard, [] { keep(); });
    // Once the application is gone there are no windows left to read.
    connect(app, &QObject::destroyed, [] { armed() = false; });
}

void ShutdownGuard::keepAtExit(const std::function<void()> &prepare)
{
    static bool registered = false;
    if (!armed() || registered)
        return;
    registered = true;
    if (prepare)
        prepare();
    std::atexit(keepWhenExiting);
}

void ShutdownGuard::SignalArrived()
{
    char number = 0;
    if (::read(signalPipe[0], &number, 1) != 1)
        return;
    keep();
    armed() = false;
    // Ended by a signal, the program still ends as it should: no lock stays for
    // the next start, which on another machine sharing the settings could not check it.
    InstanceLock::release();
    ::signal(number, SIG_DFL);
    ::raise(number);
}
