#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>
#include <utility>

// The per-user settings store: one INI file per application title at
// $XDG_CONFIG_HOME/<title>/<title>.ini (default ~/.config). Sections and keys are
// compared without regard to case and keep the case they were first written with;
// values are text. Every change is written through at once, atomically.
class SettingsStore
{
public:
    // The store of the running application (AppInfo::title()).
    static SettingsStore &instance();

    explicit SettingsStore(const QString &filePath);

    QString filePath() const { return m_filePath; }

    QString value(const QString &section, const QString &key, const QString &defaultValue) const;
    bool contains(const QString &section, const QString &key) const;
    // Throws RuntimeError 75 when the file cannot be written.
    void setValue(const QString &section, const QString &key, const QString &value);
    void removeKey(const QString &section, const QString &key);
    void removeSection(const QString &section);
    // Makes the section hold exactly these keys and values, in this order, with
    // one write (a list saved key by key would write the file once a key).
    void replaceSection(const QString &section, const QList<std::pair<QString, QString>> &entries);
    // Keys of a section in the order they were written.
    QStringList keys(const QString &section) const;
    QStringList sections() const;

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
    Section *findSection(const QString &name) const;
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
};
