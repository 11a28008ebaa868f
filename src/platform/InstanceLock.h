#pragma once

#include <QString>
#include <QStringList>

// One running copy of the program per settings home: a lock file in the
// settings folder, held until the program ends. Where the settings folder
// cannot hold it (read-only, full), the lock goes to the user's runtime folder,
// else to the cache folder, under a name made of the settings folder's path, so
// that every copy on the same settings finds it. A lock left behind by a copy
// whose process is gone (a crash) is taken over; where it cannot be removed
// (the folder is read-only now), a lock that this program running on this boot
// does not hold keeps nobody out, and the next place is tried. One that names
// another machine cannot be checked from here, and the caller decides.
class InstanceLock
{
public:
    enum class Result {
        Taken,         // this process holds the lock
        HeldByAnother, // another running copy on this machine holds it
        HeldElsewhere, // a copy on another machine holds it, or did: see Holder
        Unavailable,   // no place can hold a lock file
    };

    // Whose is a lock that names another machine.
    struct Holder
    {
        QString lockFile;
        QString host;      // the machine's name, as the lock file gives it
        QString machineId; // empty when the lock file records none
        qint64 pid = 0;
    };

    // Takes the lock of a settings folder, creating the folder when it is
    // missing. `holder` is filled when the result is HeldElsewhere.
    static Result acquire(const QString &folder, Holder *holder = nullptr);
    // The reader chose to start although the lock named another machine: that
    // lock file goes (unless its owner changed meanwhile) and the lock is
    // taken anew. Unavailable when it cannot be removed.
    static Result takeOver(const QString &folder, const Holder &holder, Holder *next = nullptr);
    // The lock file's path for a settings folder.
    static QString lockFilePath(const QString &folder);
    // Where the lock goes when the settings folder cannot hold it, in the order tried.
    static QStringList fallbackLockFiles(const QString &folder);
    // The lock file this process holds; empty when none.
    static QString heldLockFile();
    // Gives the lock up (its file goes): every end of the program does, and tests between cases.
    static void release();
};
