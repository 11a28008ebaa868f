#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <memory>

struct chmFile;

// A compiled-help (CHM) archive opened read-only. Paths inside it start with "/"
// and are compared without case, as the help compiler writes them.
class ChmArchive
{
public:
    // One entry of the archive's contents tree.
    struct TopicNode
    {
        QString name;
        QString local; // archive path with an optional "#anchor", empty for a heading
        QList<TopicNode> children;
    };

    ChmArchive() = default;
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    // False, with errorText() set, when the file is missing or not an archive.
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_file != nullptr; }
    QString fileName() const { return m_path; }
    QString errorText() const { return m_error; }

    // The bytes of an object; false (and no bytes) when it is absent or unreadable.
    bool read(const QString &objectPath, QByteArray &bytes) const;
    bool contains(const QString &objectPath) const;
    // Every file object's path (not the archive's internal "#" and "$" objects).
    QStringList files() const;

    // The topic the archive opens at: its system record's default topic, else
    // "/index.html" or the first page.
    QString defaultTopic() const;
    // The contents file (.hhc) named by the system record, else the first one found.
    QString contentsFile() const;
    QString title() const;
    QList<TopicNode> contents() const;
    // The topic a help context number opens (the project's [MAP] and [ALIAS]);
    // empty when the archive maps no topic of its own to the number.
    QString topicOfContext(quint32 context) const;

    // Text of a page: UTF-8 when it decodes cleanly, else the ANSI code page.
    static QString decodeText(const QByteArray &bytes);
    // Parses a sitemap (.hhc) text into its tree.
    static QList<TopicNode> parseSitemap(const QString &text);

private:
    struct SystemRecord
    {
        QString contents;
        QString defaultTopic;
        QString title;
    };
    SystemRecord readSystemRecord() const;
    QString normalObjectPath(const QString &objectPath) const;

    chmFile *m_file = nullptr;
    SystemRecord m_system; // read once when the archive opens
    QString m_path;
    QString m_error;
};
