#pragma once

#include <QString>
#include <QStringList>
#include <QVector>
#include <memory>

class Translation;

// The installed modules of one kind, numbered from 0 in the order they were
// added. Each entry caches the module's Translation once it has been opened.
class FileNameMap
{
public:
    FileNameMap();

    qint32 Count() const { return qint32(m_displayNames.size()); }
    // Each accessor raises RuntimeError 9 for an index outside the list.
    QString DisplayName(qint32 i) const;
    QString FileNames(qint32 i) const;
    bool Enabled(qint32 i) const;
    void SetEnabled(qint32 i, bool enabled);
    qint32 CodePage(qint32 i) const;
    // An empty file name adds nothing; an empty display name takes the file name.
    void Add(const QString &displayName, const QString &fileName, bool enabled, qint32 codePage);
    std::shared_ptr<Translation> Tag(qint32 i) const;
    void SetTag(qint32 i, std::shared_ptr<Translation> translation);
    // Empties the list; cached translations are released.
    void Clear();

    // Room in the per-entry arrays (grows by 10).
    qint32 Capacity() const { return qint32(m_enabled.size()); }

private:
    void CheckIndex(qint32 i, const char *member) const;
    QStringList m_displayNames;
    QStringList m_fileNames;
    QVector<std::shared_ptr<Translation>> m_tags;
    QVector<bool> m_enabled;
    QVector<qint32> m_codePages;
};
