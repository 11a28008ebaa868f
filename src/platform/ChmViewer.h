#pragma once

#include "platform/ChmArchive.h"

#include <QMainWindow>
#include <QTextBrowser>
#include <QUrl>

class QAction;
class QKeyEvent;
class QTimer;
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

    // A long page opened at an anchor far down shows first from its anchor on;
    // the part above it is laid out in steps after it shows, the view kept where
    // it is. True while that part is still to come.
    bool pageLayoutPending() const { return m_hiddenEnd > 0; }
    // Lays out at once what is still to come (before the page is left, so that
    // its place in the history is measured on the whole page).
    void finishPageLayout();
    // The archive path of the last page or picture the archive lists but could
    // not give (its part of the file is damaged); empty when none since the last clear.
    QString unreadableObject() const { return m_unreadable; }
    void clearUnreadableObject() { m_unreadable.clear(); }

protected:
    void doSetSource(const QUrl &name, QTextDocument::ResourceType type) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void pageReplaced(int from, int removed, int added);
    void revealStep(int characters);

    const ChmArchive &m_archive;
    QString m_unreadable;
    QString m_anchorToShow; // the anchor of a page being loaded fresh
    int m_hiddenEnd = 0;    // the blocks before this position are not laid out yet
    bool m_revealing = false;
    QTimer *m_revealTimer = nullptr;
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
    // Shows the topic of a help context number; false, with the page left as it
    // was, when the archive maps no topic to it.
    bool showContext(quint32 context);
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
