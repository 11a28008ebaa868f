#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

class ChmPackIo;
struct mschm_decompressor;
struct mschmd_header;
struct mschmd_file;

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

    ChmArchive();
    ~ChmArchive();
    ChmArchive(const ChmArchive &) = delete;
    ChmArchive &operator=(const ChmArchive &) = delete;

    // False, with errorText() set, when the file is missing, not an archive, or
    // damaged (its headers or its objects reach past its end).
    bool open(const QString &path);
    void close();
    bool isOpen() const { return m_chm != nullptr; }
    QString fileName() const { return m_path; }
    QString errorText() const { return m_error; }

    // The bytes of an object; false (and no bytes) when it is absent or unreadable.
    bool read(const QString &objectPath, QByteArray &bytes) const;
    bool contains(const QString &objectPath) const;
    // A link's object path (from "/") and its anchor, empty when it has none.
    struct Link
    {
        QString object;
        QString anchor;
    };
    Link splitLink(const QString &link) const;
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
    // Parses a sitemap (.hhc) text into its tree. Lists nested deeper than
    // MaxContentsDepth add their topics to the deepest level kept.
    static QList<TopicNode> parseSitemap(const QString &text);
    static constexpr int MaxContentsDepth = 64;

private:
    struct SystemRecord
    {
        QString contents;
        QString defaultTopic;
        QString title;
    };
    SystemRecord readSystemRecord() const;
    static QString normalObjectPath(const QString &objectPath);
    const mschmd_file *find(const QString &objectPath) const;
    QString openProblem(const QString &path);
    QString indexObjects();
    QString compressionProblem() const;
    bool extract(const mschmd_file *file, QByteArray &bytes) const;
    void pairTwins();
    const mschmd_file *quickestWay(const mschmd_file *file) const;

    std::unique_ptr<ChmPackIo> m_io;
    mschm_decompressor *m_decompressor = nullptr;
    mschmd_header *m_chm = nullptr;
    // The library decodes the compressed section on from where it stopped, and
    // starts over at the reset point before an object only when it must go
    // back. Far ahead, starting over is much the quicker; reading through the
    // same file opened a second time makes it start over, as it would for
    // another archive.
    mschmd_header *m_twin = nullptr;
    QHash<const mschmd_file *, mschmd_file *> m_twins; // each file to its entry in the other header
    mutable const mschmd_header *m_decoding = nullptr; // the header the library decoded for last
    mutable qint64 m_decodedTo = 0;                    // where in the section it stopped
    QByteArray m_encodedPath;                // the library keeps a pointer to it while the archive is open
    QHash<QString, mschmd_file *> m_objects; // by case-folded path
    QStringList m_files;
    SystemRecord m_system; // read once when the archive opens
    QString m_path;
    QString m_error;
};
