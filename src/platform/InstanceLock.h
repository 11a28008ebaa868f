#pragma once

#include <QString>

// One running copy of the program per settings home: a lock file in the
// settings folder, held until the process ends. A lock left behind by a copy
// whose process is gone (a crash) is taken over.
class InstanceLock
{
public:
    enum class Result {
        Taken,         // this process holds the lock
        HeldByAnother, // another running copy holds it
        Unavailable,   // the folder cannot hold a lock file (read-only, full)
    };

    // Takes "<folder><application title>.lock", creating the folder when it is
    // missing. `reason` gets the system's reason when the lock is unavailable.
    static Result acquire(const QString &folder, QString *reason = nullptr);
    // The lock file's path for a settings folder.
    static QString lockFilePath(const QString &folder);
    // Gives the lock up; tests do, between cases.
    static void release();
};
