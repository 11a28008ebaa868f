#include "platform/DesktopOpener.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTimer>
#include <utility>

void DesktopOpener::open(const QString &target, std::function<void()> failed)
{
    // Owned by the application: it goes when its process has answered, or at exit.
    new DesktopOpener(target, std::move(failed));
}

DesktopOpener::DesktopOpener(const QString &target, std::function<void()> failed)
    : QObject(QCoreApplication::instance())
    , m_process(new QProcess(this))
    , m_wait(new QTimer(this))
    , m_failed(std::move(failed))
{
    // The opener and the program it starts write to our own output, not to a
    // pipe that nobody reads once the answer has come.
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            finish(false);
    });
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        finish(status == QProcess::NormalExit && exitCode == 0);
    });
    m_wait->setSingleShot(true);
    connect(m_wait, &QTimer::timeout, this, [this] { m_failed = nullptr; });
    m_wait->start(AnswerWaitMs);
    m_process->start(QStringLiteral("xdg-open"), {target});
}

DesktopOpener::~DesktopOpener()
{
    // At exit the opener itself is stopped; a program it started runs on.
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(1000);
    }
}

void DesktopOpener::finish(bool opened)
{
    std::function<void()> failed = std::exchange(m_failed, nullptr);
    m_wait->stop();
    deleteLater();
    // Told from the event loop, not from inside the process's signal.
    if (!opened && failed)
        QTimer::singleShot(0, QCoreApplication::instance(), std::move(failed));
}
