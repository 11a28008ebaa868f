#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QProcess;
class QTimer;

// Opens a file or an address with the program the desktop has set up for it
// (xdg-open), and learns when none could: xdg-open missing, or ending with an
// error because no program is set up. The answer is awaited without blocking
// the GUI thread. Where xdg-open runs the program it starts in the foreground
// (a player that plays, then returns), only an answer within the first
// seconds counts: what the program ends with later is not the opener's answer.
class DesktopOpener : public QObject
{
    Q_OBJECT

public:
    // `failed` runs on the GUI thread, after open() has returned, when no
    // program could open the target.
    static void open(const QString &target, std::function<void()> failed);

    // How long an answer of the opener is awaited.
    static constexpr int AnswerWaitMs = 10000;

    ~DesktopOpener() override;

private:
    DesktopOpener(const QString &target, std::function<void()> failed);
    void finish(bool opened);

    QProcess *m_process = nullptr;
    QTimer *m_wait = nullptr;
    std::function<void()> m_failed;
};
