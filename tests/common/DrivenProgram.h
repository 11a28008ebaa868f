#pragma once

#include <QProcess>
#include <QString>
#include <functional>

class TestFixture;

// The real program, started from the fixture's program folder on the fixture's
// user folders (the environment's XDG folders and TMPDIR), headless, with the
// test driver (tests/app/driver) loaded into it in one of its modes. The driver
// writes what it saw to a report file of its own; the program is killed at the
// end of the test if it is still running.
class DrivenProgram
{
public:
    // `inChild` runs in the new process before the program starts (signals it ignores).
    DrivenProgram(TestFixture &fx, const QString &mode, const QString &reportName = QStringLiteral("report"),
                  const std::function<void()> &inChild = {});
    ~DrivenProgram();
    DrivenProgram(const DrivenProgram &) = delete;
    DrivenProgram &operator=(const DrivenProgram &) = delete;

    // Puts the built program into the fixture's program folder, with a Bible
    // (unless none is wanted) and settings that show no splash.
    static void prepare(TestFixture &fx, bool withBible = true);

    // The report once it holds the text, or what it holds once the program
    // ended or 30 s passed.
    QString waitFor(const QString &text);
    QString report() const;
    // Waits for the program to end by itself; false when it still runs after the time.
    bool ends(int ms = 10000);
    QProcess &process() { return m_process; }
    qint64 pid() const { return m_process.processId(); }

private:
    QProcess m_process;
    QString m_report;
};
