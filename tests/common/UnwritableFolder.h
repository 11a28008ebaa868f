#pragma once

#include "common/FileSizeLimit.h"
#include "common/ReadOnlyFolder.h"

#include <QString>
#include <optional>

// A folder that cannot take the files written to it while it lives: made
// read-only (as a system-wide install or a locked cache folder), or on a disk
// that is full, which here fails every file the process writes beyond
// `fullAt` bytes (keep the other files a test writes below that). Check
// active(): a system may not allow a folder to be made read-only.
class UnwritableFolder
{
public:
    enum Kind { ReadOnly, Full };

    UnwritableFolder(const QString &folder, Kind kind, rlim_t fullAt = 0);

    bool active() const;
    // Whether a message ends with the system's reason for the refused write.
    bool endsWithTheReason(const QString &message) const;
    // The rows of a _data() function, one per kind, in the column "kind".
    static void addRows();

private:
    Kind m_kind;
    std::optional<ReadOnlyFolder> m_readOnly;
    std::optional<FileSizeLimit> m_full;
};
