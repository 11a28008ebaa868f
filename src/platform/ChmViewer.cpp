#include "platform/ChmViewer.h"
#include "platform/Desktop.h"

#include <QAction>
#include <QFileInfo>
#include <QLabel>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QTreeWidget>

namespace {
constexpr int TopicRole = Qt::UserRole + 1;

QUrl topicUrl(const QString &archivePath)
{
    QString path = archivePath;
    QString fragment;
    const qsizetype hash = path.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        fragment = path.mid(hash + 1);
        path.truncate(hash);
    }
    if (!path.startsWith(QLatin1Char('/')))
        path.prepend(QLatin1Char('/'));
    QUrl url;
    url.setScheme(ChmViewer::Scheme);
    url.setPath(path);
    if (!fragment.isEmpty())
        url.setFragment(fragment);
    return url;
}
} // namespace

ChmBrowser::ChmBrowser(const ChmArchive &archive, QWidget *parent)
    : QTextBrowser(parent)
    , m_archive(archive)
{
    // Links are judged by the viewer, never opened by the pane itself.
    setOpenLinks(false);
    setOpenExternalLinks(false);
}

QVariant ChmBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != ChmViewer::Scheme)
        return QVariant();
    QByteArray bytes;
    if (!m_archive.read(url.path(), bytes))
        return QVariant();
    if (type == QTextDocument::ImageResource)
        return bytes;
    return ChmArchive::decodeText(bytes);
}

ChmViewer::ChmViewer(QWidget *parent)
    : QMainWindow(parent)
{
    setAttribute(Qt::WA_QuitOnClose, false);
    m_browser = new ChmBrowser(m_archive, this);
    m_contents = new QTreeWidget(this);
    m_contents->setHeaderHidden(true);
    auto *split = new QSplitter(this);
    split->addWidget(m_contents);
    split->addWidget(m_browser);
    split->setStretchFactor(1, 3);
    setCentralWidget(split);

    QToolBar *bar = addToolBar(QStringLiteral("Navigation"));
    bar->setMovable(false);
    m_back = bar->addAction(QStringLiteral("Back"), m_browser, &QTextBrowser::backward);
    m_forward = bar->addAction(QStringLiteral("Forward"), m_browser, &QTextBrowser::forward);
    m_home = bar->addAction(QStringLiteral("Home"), this, [this] { showTopic(m_defaultTopic); });
    m_back->setShortcut(QKeySequence::Back);
    m_forward->setShortcut(QKeySequence::Forward);
    m_status = new QLabel(this);
    statusBar()->addWidget(m_status, 1);

    connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { followLink(url); });
    connect(m_browser, &QTextBrowser::historyChanged, this, &ChmViewer::updateActions);
    connect(m_browser, &QTextBrowser::highlighted, this,
            [this](const QUrl &url) { m_status->setText(url.toDisplayString()); });
    connect(m_contents, &QTreeWidget::itemClicked, this, &ChmViewer::contentsClicked);
    connect(m_contents, &QTreeWidget::itemActivated, this, &ChmViewer::contentsClicked);
    resize(900, 640);
    updateActions();
}

bool ChmViewer::openFile(const QString &path)
{
    m_contents->clear();
    m_browser->clear();
    m_browser->clearHistory();
    if (!m_archive.open(path)) {
        setWindowTitle(path);
        return false;
    }
    const QString title = m_archive.title();
    setWindowTitle(title.isEmpty() ? QFileInfo(path).fileName() : title);
    fillContents();
    m_defaultTopic = m_archive.defaultTopic();
    if (!m_defaultTopic.isEmpty())
        showTopic(m_defaultTopic);
    // The pages of the archive shown before belong to another file: Back must not lead there.
    m_browser->clearHistory();
    updateActions();
    return true;
}

bool ChmViewer::showTopic(const QString &archivePath)
{
    const QUrl url = topicUrl(archivePath);
    if (!m_archive.contains(url.path())) {
        m_status->setText(QStringLiteral("The page %1 is not in this help file.").arg(url.path()));
        return false;
    }
    m_browser->setSource(url, QTextDocument::HtmlResource);
    m_status->clear();
    return true;
}

QString ChmViewer::currentTopic() const
{
    const QUrl url = m_browser->source();
    if (url.isEmpty())
        return QString();
    return url.hasFragment() ? url.path() + QLatin1Char('#') + url.fragment() : url.path();
}

bool ChmViewer::isWebLink(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https")) && !url.host().isEmpty();
}

bool ChmViewer::followLink(const QUrl &link)
{
    const QUrl url = link.isRelative() ? m_browser->source().resolved(link) : link;
    if (isWebLink(url)) {
        desktop().openUrl(url.toString());
        return true;
    }
    if (url.scheme() == Scheme)
        return showTopic(url.hasFragment() ? url.path() + QLatin1Char('#') + url.fragment() : url.path());
    m_status->setText(QStringLiteral("This link leads outside the help file and was not opened: %1")
                          .arg(link.toDisplayString()));
    return false;
}

QString ChmViewer::statusText() const
{
    return m_status->text();
}

void ChmViewer::fillContents()
{
    // The items are built apart from the tree and handed over at once: a tree
    // told of each of a thousand chapters one by one is slow to fill.
    QList<QTreeWidgetItem *> books;
    addTopics(books, m_archive.contents());
    m_contents->addTopLevelItems(books);
    // A single root (a book's title) is opened so that its chapters show.
    if (m_contents->topLevelItemCount() == 1)
        m_contents->topLevelItem(0)->setExpanded(true);
}

void ChmViewer::addTopics(QList<QTreeWidgetItem *> &items, const QList<ChmArchive::TopicNode> &nodes)
{
    items.reserve(items.size() + nodes.size());
    for (const ChmArchive::TopicNode &node : nodes) {
        auto *item = new QTreeWidgetItem(QStringList{node.name});
        item->setData(0, TopicRole, node.local);
        QList<QTreeWidgetItem *> children;
        addTopics(children, node.children);
        item->addChildren(children);
        items.append(item);
    }
}

void ChmViewer::contentsClicked(QTreeWidgetItem *item)
{
    const QString local = item ? item->data(0, TopicRole).toString() : QString();
    if (local.isEmpty())
        return;
    // Contents entries are written relative to the archive's root.
    followLink(QUrl(local.startsWith(QLatin1Char('/')) ? local : QLatin1Char('/') + local));
}

void ChmViewer::updateActions()
{
    m_back->setEnabled(m_browser->isBackwardAvailable());
    m_forward->setEnabled(m_browser->isForwardAvailable());
}
