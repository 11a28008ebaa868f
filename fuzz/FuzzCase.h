#pragma once

#include "common/TestFixture.h"
#include "platform/Desktop.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <cstddef>
#include <cstdint>

// One fuzz input: its bytes, and a fresh program folder and settings store with
// the recording desktop (no message box waits), the folder globals set as
// start-up sets them.
class FuzzCase
{
public:
    FuzzCase(const uint8_t *data, size_t size, bool withCatalogs = false);

    const QByteArray &bytes() const { return m_bytes; }
    // The input cut into at most `count` parts at each PartBreak (the seed
    // gatherer joins the files of one input with it); missing parts are empty.
    QList<QByteArray> parts(int count) const;
    static constexpr char PartBreak[] = "\f\f";
    // Writes bytes (the whole input by default) to a file of the program folder; returns its path.
    QString write(const QString &relative) const { return write(relative, m_bytes); }
    QString write(const QString &relative, const QByteArray &bytes) const;
    TestFixture &fixture() { return m_fixture; }

    // Runs `read`. A RuntimeError is a reader's way of refusing a file, and
    // ProgramEnded that of a file the program cannot go on without (it was told).
    template <typename F> static void refused(F &&read)
    {
        try {
            read();
        } catch (const RuntimeError &) {
        } catch (const ProgramEnded &) {
        }
    }

private:
    QByteArray m_bytes;
    mutable TestFixture m_fixture;
};
