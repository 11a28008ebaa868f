#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

// Keeps the reader's unsaved work when the program is ended without a chance to
// ask: SIGTERM, SIGHUP or SIGINT, the desktop session ending or the application
// quitting, and the display connection lost (the window system's library then
// ends the program with exit()). The signal handlers only write the signal's
// number into a pipe; the keeping runs in the event loop, which watches the pipe.
// A signal's handler is given up once it ran: the same signal sent again ends a
// program whose event loop is stuck at once, as the signal's default does.
class ShutdownGuard : public QObject
{
    Q_OBJECT

public:
    using Keeper = std::function<void()>;

    // Watches for the rest of the run; keep() writes what is unsaved, and may run
    // more than once (the session may go on after it asked). After a signal the
    // program then ends as the signal's default would.
    static void install(Keeper keep);
    // From here on an exit() keeps the unsaved work too. What the keeping uses in
    // static storage must be made before (prepare does it): statics made after
    // this are gone by the time exit() runs the keeping.
    static void keepAtExit(const std::function<void()> &prepare);

private:
    explicit ShutdownGuard(int readEnd);
    void SignalArrived();

    QSocketNotifier *m_notifier = nullptr;
};
