#pragma once

#include <QByteArray>
#include <QString>
#include <mspack.h>

// The file access libmspack's CHM reader works through: the archive is read
// from disk, each object taken out of it is written into memory (never more
// than it was promised), and the library's notes are kept for the error text
// rather than printed.
class ChmPackIo : public mspack_system
{
public:
    // Where an object is written: extract() is given sinkName(sink) as its file name.
    struct Sink
    {
        QByteArray *bytes = nullptr;
        qint64 limit = 0;
    };
    static const char *sinkName(const Sink &sink) { return reinterpret_cast<const char *>(&sink); }

    ChmPackIo();
    // False when this build of libmspack cannot be used with our file offsets.
    static bool usable();
    // The library's last note since clearNote(), empty when there was none.
    static QString lastNote();
    static void clearNote();
};
