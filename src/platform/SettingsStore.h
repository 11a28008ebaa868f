#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <functional>
#include <utility>

// The per-user settings store: one INI file per application title at
// $XDG_CONFIG_HOME/<title>/<title>.ini (default ~/.config). Sections and keys are
// compared without regard to case and keep the case they were first written with;
// values are text. Every change is written through at once, atomically. A change
// that cannot be written (a read-only or full folder) is kept in memory for the
// run, and the save-failure handler is told. Lines it cannot read (junk, keys
// outside a section, bytes that are no UTF-8) are passed over; text before a
// section header is read past. Before such a file is rewritten, it is kept in a
// copy of its own ("<file>.bad", "<file>.2.bad", ...: an earlier copy is never
// replaced) and the damage handler is told.
class SettingsStore
{
public:
    // The store of the running application (AppInfo::title()).
    static SettingsStore &instance();

    explicit SettingsStore(const QString &filePath);

    QString filePath() const { return m_filePath; }

    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    bool contains(const QString &section, const QString &key) const;
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);
    void removeSection(const QString &section);
    // Makes the section hold exactly these keys and values, in this order, with
    // one write (a list saved key by key would write the file once a key).
    void replaceSection(const QString &section, const QList<std::pair<QString, QString>> &entries);
    // Keys of a section in the order they were written.
    QStringList keys(const QString &section) const;
    QStringList sections() const;

    // Whether changes are held in memory that the file lacks, because the last
    // write failed; saveError() says why (the file and the system's reason).
    bool hasUnsavedChanges() const { return m_unsaved; }
    QString saveError() const { return m_saveError; }
    QString folder() const;
    // The lines of the file as read that could not be used and are not kept
    // yet: before the file is written again it is kept, as read, in the copy
    // that `copy` then names (left as it is when there are none).
    QStringList unreadLines(QString *copy) const;

    // Told of every failed write with the store's folder and the reason.
    using SaveFailureHandler = std::function<void(const QString &folder, const QString &reason)>;
    static void setSaveFailureHandler(SaveFailureHandler handler);
    // Told once a damaged file was kept as `keptCopy`, with its unread lines.
    using DamageHandler =
        std::function<void(const QString &file, const QString &keptCopy, const QStringList &lines)>;
    static void setDamageHandler(DamageHandler handler);

    // The file path that instance() uses, from the environment.
    static QString defaultFilePath();
    // Tests: make instance() use the environment anew (after changing XDG_CONFIG_HOME).
    static void resetInstance();

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };

    // Names compared without regard to case are the same when their keys are.
    static QString CaseKey(const QString &name);
    void refresh() const;
    void parse(const QByteArray &data) const;
    void save() const;
    void keepDamagedOriginal() const;
    Section *findSection(const QString &name) const;
    // The section of that name, added when there is none.
    Section *section(const QString &name) const;
    Section *sectionAt(const QString &nameKey) const;
    Section &addSection(const QString &name, const QString &nameKey) const;
    Entry *findEntry(Section *section, const QString &key) const;
    void addEntry(Section &section, const QString &key, QString value) const;
    // The positions anew, after sections or keys were taken out.
    void index() const;

    QString m_filePath;
    mutable QList<Section> m_sections;
    // Where the sections and their entries stand, by CaseKey (and section).
    mutable QHash<QString, qsizetype> m_sectionPositions;
    mutable QHash<std::pair<qsizetype, QString>, qsizetype> m_entryPositions;
    mutable bool m_loaded = false;
    mutable QDateTime m_loadedTime;
    mutable qint64 m_loadedSize = -1;
    mutable QByteArray m_loadedData;
    mutable QDateTime m_readAt;
    mutable bool m_unsaved = false;
    // The lines of the file as read that could not be used, to be kept and told.
    mutable QStringList m_unreadLines;
    mutable QString m_saveError;
};
