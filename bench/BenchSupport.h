#pragma once

#include <QString>
#include <QTemporaryDir>
#include <functional>

class TestDesktop;

// Times a piece of work several times and reports the median in milliseconds.
double medianMilliseconds(int runs, const std::function<void()> &work);
void printRow(const QString &what, double milliseconds);

// A temporary program folder with the shipped data, the folder globals and the
// settings store pointed at it, for benchmarks that run the program's code.
class BenchProgramFolder
{
public:
    BenchProgramFolder();
    ~BenchProgramFolder();
    QString path() const { return m_dir.path() + QStringLiteral("/"); }

private:
    QTemporaryDir m_dir;
    TestDesktop *m_desktop = nullptr;
};
