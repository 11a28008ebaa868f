#include "platform/ChmViewer.h"
#include "platform/Desktop.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPointer>
#include <QScopeGuard>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTextBlock>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <limits>
#include <utility>

namespace {
constexpr int TopicRole = Qt::UserRole + 1;
// A page whose anchor lies fewer characters down than this is laid out whole.
constexpr int MinHiddenCharacters = 20000;
// About this much of a page's hidden start is laid out at a time (a few milliseconds).
constexpr int RevealStep = 16000;

// The position of the block that holds the anchor `name`, -1 when there is none.
int anchorBlockPosition(const QTextDocument *doc, const QString &name)
{
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.charFormat().anchorNames().contains(name))
            return block.position();
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().anchorNames().contains(name))
                return block.position();
    }
    return -1;
}

QUrl topicUrl(const ChmArchive::Link &link)
{
    QUrl url;
    url.setScheme(ChmViewer::Scheme);
    url.setPath(link.object);
    if (!link.anchor.isEmpty())
        url.setFragment(link.anchor);
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
    m_revealTimer = new QTimer(this);
    m_revealTimer->setSingleShot(true);
    m_revealTimer->setInterval(0);
    connect(m_revealTimer, &QTimer::timeout, this, [this] { revealStep(RevealStep); });
    // The document is told of its new text before it lays it out: the page's
    // start can be set aside before any of it is laid out.
    connect(document(), &QTextDocument::contentsChange, this, &ChmBrowser::pageReplaced);
}

void ChmBrowser::doSetSource(const QUrl &name, QTextDocument::ResourceType type)
{
    finishPageLayout();
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    const bool newPage = url.adjusted(QUrl::RemoveFragment) != source().adjusted(QUrl::RemoveFragment);
    m_anchorToShow = newPage && isVisible() ? url.fragment() : QString();
    // Clearing the old page would hide the scroll bar and the new one show it
    // again, each time laying out anew at the changed width: the bar stays
    // while the page loads, and goes afterwards if the new page is short.
    const Qt::ScrollBarPolicy policy = verticalScrollBarPolicy();
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    const auto done = qScopeGuard([this, policy] {
        m_anchorToShow.clear();
        setVerticalScrollBarPolicy(policy);
    });
    QTextBrowser::doSetSource(name, type);
}

void ChmBrowser::keyPressEvent(QKeyEvent *event)
{
    // Keys move through the page or the history: both need the whole page.
    finishPageLayout();
    QTextBrowser::keyPressEvent(event);
}

// A new page's text is in the document. Laying out a long book from its start
// down to a chapter near its end takes many times longer than reading it: the
// blocks before the anchor are hidden, so the anchor's chapter is laid out and
// shown at once, and they come back in steps afterwards.
void ChmBrowser::pageReplaced(int from, int, int added)
{
    if (m_revealing)
        return;
    m_hiddenEnd = 0;
    m_revealTimer->stop();
    QTextDocument *doc = document();
    // The old page is cleared away first; the new one comes in whole.
    if (m_anchorToShow.isEmpty() || from != 0 || added < doc->characterCount())
        return;
    const QString anchor = std::exchange(m_anchorToShow, QString());
    // Tables and frames lay out hidden cells with their borders: those pages take the plain way.
    if (anchor.isEmpty() || !doc->rootFrame()->childFrames().isEmpty())
        return;
    const int at = anchorBlockPosition(doc, anchor);
    if (at < MinHiddenCharacters)
        return;
    for (QTextBlock block = doc->begin(); block.isValid() && block.position() < at; block = block.next())
        block.setVisible(false);
    m_hiddenEnd = at;
    m_revealTimer->start();
}

// Shows about `characters` more of the hidden start of the page, the blocks
// nearest the shown part first, and moves the view down by their height so
// that what is on screen stays there.
void ChmBrowser::revealStep(int characters)
{
    if (m_hiddenEnd <= 0)
        return;
    QTextDocument *doc = document();
    const QTextBlock shownFrom = doc->findBlock(m_hiddenEnd);
    QTextBlock first = doc->findBlock(m_hiddenEnd - 1);
    int count = first.length();
    while (count < characters && first.previous().isValid()) {
        first = first.previous();
        count += first.length();
    }
    QAbstractTextDocumentLayout *layout = doc->documentLayout();
    const qreal before = layout->blockBoundingRect(shownFrom).top();
    for (QTextBlock block = first; block.isValid() && block.position() < m_hiddenEnd; block = block.next())
        block.setVisible(true);
    {
        const QScopedValueRollback<bool> own(m_revealing, true);
        doc->markContentsDirty(first.position(), m_hiddenEnd - first.position());
    }
    m_hiddenEnd = first.position();
    const qreal after = layout->blockBoundingRect(shownFrom).top();
    QScrollBar *bar = verticalScrollBar();
    const int value = bar->value() + qRound(after - before);
    // The pane learns of the taller page a moment later; the view must move now.
    if (bar->maximum() < value)
        bar->setMaximum(value);
    bar->setValue(value);
    if (m_hiddenEnd > 0)
        m_revealTimer->start();
}

void ChmBrowser::finishPageLayout()
{
    m_revealTimer->stop();
    revealStep(std::numeric_limits<int>::max());
}

QVariant ChmBrowser::loadResource(int type, const QUrl &name)
{
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != ChmViewer::Scheme)
        return QVariant();
    QByteArray bytes;
    if (!m_archive.read(url.path(), bytes)) {
        if (m_archive.contains(url.path()))
            m_unreadable = url.path();
        return QVariant();
    }
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
    // The history keeps each page's place: it is measured on the whole page.
    m_back = bar->addAction(QStringLiteral("Back"), this, [this] {
        m_browser->finishPageLayout();
        m_browser->backward();
    });
    m_forward = bar->addAction(QStringLiteral("Forward"), this, [this] {
        m_browser->finishPageLayout();
        m_browser->forward();
    });
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
    const QUrl url = topicUrl(m_archive.splitLink(archivePath));
    if (!m_archive.contains(url.path())) {
        m_status->setText(QStringLiteral("The page %1 is not in this help file.").arg(url.path()));
        return false;
    }
    m_browser->clearUnreadableObject();
    m_browser->setSource(url, QTextDocument::HtmlResource);
    const QString unreadable = m_browser->unreadableObject();
    if (unreadable.isEmpty())
        m_status->clear();
    else
        m_status->setText(
            QStringLiteral("%1 cannot be read: the file %2 is damaged.").arg(unreadable, fileName()));
    return true;
}

bool ChmViewer::showContext(quint32 context)
{
    const QString topic = m_archive.topicOfContext(context);
    if (topic.isEmpty()) {
        m_status->setText(QStringLiteral("This help file has no page for help context %1.").arg(context));
        return false;
    }
    return showTopic(topic);
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
        const QString address = url.toString();
        desktop().openUrl(address, [viewer = QPointer<ChmViewer>(this), address] {
            if (viewer)
                viewer->m_status->setText(QStringLiteral("No program is set up to open %1").arg(address));
        });
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
