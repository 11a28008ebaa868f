#pragma once

#include "platform/ChmArchive.h"

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

class QAction;
class QLabel;
class QTreeWidget;
class QTreeWidgetItem;

// The page pane of the help viewer: it loads pages and pictures from the open
// archive only; anything else (local files, the network) loads as nothing.
class ChmBrowser : public QTextBrowser
{
    Q_OBJECT

public:
    explicit ChmBrowser(const ChmArchive &archive, QWidget *parent = nullptr);
    QVariant loadResource(int type, const QUrl &name) override;

private:
    const ChmArchive &m_archive;
};

// The window that shows a compiled-help archive: contents tree, pages, back and
// forward. Links inside the archive are followed; web links go to the desktop's
// browser; every other link is refused with a note in the status line.
class ChmViewer : public QMainWindow
{
    Q_OBJECT

public:
    // The scheme of the pages' addresses inside the viewer.
    static inline const QString Scheme = QStringLiteral("vxchm");

    explicit ChmViewer(QWidget *parent = nullptr);

    // Opens an archive at its default topic; false, with errorText(), when the
    // file cannot be opened as an archive.
    bool openFile(const QString &path);
    QString fileName() const { return m_archive.fileName(); }
    QString errorText() const { return m_archive.errorText(); }

    // Shows an archive path ("/page.html#anchor"); false when the archive lacks it.
    bool showTopic(const QString &archivePath);
    // The archive path shown, with its anchor.
    QString currentTopic() const;
    // What a click on a link does; false when the link was refused.
    bool followLink(const QUrl &url);
    QString statusText() const;

    ChmBrowser *browser() const { return m_browser; }
    QTreeWidget *contentsTree() const { return m_contents; }
    QAction *backAction() const { return m_back; }
    QAction *forwardAction() const { return m_forward; }

private:
    void fillContents();
    void addTopics(QList<QTreeWidgetItem *> &items, const QList<ChmArchive::TopicNode> &nodes);
    void contentsClicked(QTreeWidgetItem *item);
    void updateActions();
    static bool isWebLink(const QUrl &url);

    ChmArchive m_archive;
    QString m_defaultTopic;
    ChmBrowser *m_browser = nullptr;
    QTreeWidget *m_contents = nullptr;
    QAction *m_back = nullptr;
    QAction *m_forward = nullptr;
    QAction *m_home = nullptr;
    QLabel *m_status = nullptr;
};
