#pragma once

#include <QString>

// Makes a folder read-only for this process while it lives, as a system-wide
// install is for its users: a read-only bind mount of the folder on itself
// when running as root (root writes through permission bits), the write bits
// taken away otherwise. Check active(): a system may allow neither.
class ReadOnlyFolder
{
public:
    explicit ReadOnlyFolder(const QString &folder);
    ~ReadOnlyFolder();
    ReadOnlyFolder(const ReadOnlyFolder &) = delete;
    ReadOnlyFolder &operator=(const ReadOnlyFolder &) = delete;

    // Whether a file can no longer be created in the folder.
    bool active() const;
    // Whether a message ends with the system's reason for a write refused in
    // such a folder: a read-only file system when mounted, no permission else.
    static bool endsWithTheRefusal(const QString &message);

private:
    static bool run(const QStringList &arguments);
    void setWritable(bool writable) const;

    QString m_folder;
    bool m_mounted = false;
};
