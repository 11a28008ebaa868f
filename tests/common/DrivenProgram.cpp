#include "common/DrivenProgram.h"
#include "common/TestFixture.h"
#include "platform/SettingsStore.h"

#include <QElapsedTimer>
#include <QFile>

DrivenProgram::DrivenProgram(TestFixture &fx, const QString &mode, const QString &reportName,
                             const std::function<void()> &inChild)
    : m_report(fx.path(reportName + QStringLiteral(".txt")))
{
    QFile::remove(m_report);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    env.insert(QStringLiteral("QT_PLUGIN_PATH"), QStringLiteral(VX_TEST_PLUGINS));
    env.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("vxappdriver:") + mode);
    env.insert(QStringLiteral("VXDRIVER_REPORT"), m_report);
    // Ended by exit(), the program is never torn down: LeakSanitizer passes
    // over what Qt's font database keeps through fontconfig, on that end alone.
    // A leak it still finds ends the program with 23, not the 1 of the exit.
    if (mode == QLatin1String("exit") && env.contains(QStringLiteral("LSAN_OPTIONS")))
        env.insert(
            QStringLiteral("LSAN_OPTIONS"),
            QStringLiteral("suppressions=" VX_SOURCE_DIR
                           "/tests/lsan-exit.supp:print_suppressions=0:fast_unwind_on_malloc=0:exitcode=23"));
    m_process.setProcessEnvironment(env);
    if (inChild)
        m_process.setChildProcessModifier(inChild);
    m_process.start(fx.path(QStringLiteral("Verbanox")), {});
}

void DrivenProgram::prepare(TestFixture &fx, bool withBible)
{
    fx.copyBuiltFile(QStringLiteral("Verbanox"));
    fx.copyBuiltFile(QStringLiteral("libVxHelpers.so"));
    if (withBible)
        fx.writeFile(QStringLiteral("Modules/Bible/b_kjv.txt"), "1\t1\t1\t1\tIn the beginning\r\n");
    SettingsStore::instance().setValue(QStringLiteral("Settings"), QStringLiteral("ShowSplash"),
                                       QStringLiteral("False"));
    SettingsStore::resetInstance();
}

DrivenProgram::~DrivenProgram()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished(10000);
}

QString DrivenProgram::report() const
{
    QFile file(m_report);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QString DrivenProgram::waitFor(const QString &text)
{
    QElapsedTimer waited;
    waited.start();
    QString told = report();
    while (!told.contains(text) && m_process.state() != QProcess::NotRunning && waited.elapsed() < 30000) {
        m_process.waitForFinished(100);
        told = report();
    }
    return told;
}

bool DrivenProgram::ends(int ms)
{
    return m_process.state() == QProcess::NotRunning || m_process.waitForFinished(ms);
}
