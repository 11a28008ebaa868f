#pragma once

#include <QSet>
#include <QString>

// The faults a reader is told of once: a fault that comes back (a damaged file
// read again, a folder that cannot take the files written to it) is told the
// first time only, so that one cause gives one message.
class ToldOnce
{
public:
    // True the first time a subject (a file or a folder) is named: the one time
    // its fault is to be told.
    bool First(const QString &subject);
    // Counts a subject as told: its fault was told another way.
    void Note(const QString &subject);

private:
    QSet<QString> m_told;
};
