// Opening the shipped CHM Bible in the help viewer at its default topic and then
// at Psalm 119 (the longest chapter), next to the same work done plainly: the
// archive opened, its contents put into a tree, and the two pages read and shown
// as HTML in a plain QTextBrowser, each painted. The viewer is timed until
// Psalm 119 is painted; what is laid out after it shows is timed apart. Then
// Psalm 119 opened in the viewer beside a plain QTextBrowser showing the same
// page from memory.

#include "BenchSupport.h"
#include "platform/ChmArchive.h"
#include "platform/ChmViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSplitter>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <algorithm>
#include <functional>

namespace {
void addTopics(QTreeWidgetItem *parent, const QList<ChmArchive::TopicNode> &nodes)
{
    for (const ChmArchive::TopicNode &node : nodes)
        addTopics(new QTreeWidgetItem(parent, QStringList{node.name}), node.children);
}

// The plain viewer: a tree beside a text browser.
struct PlainViewer
{
    QSplitter window;
    QTreeWidget *tree = new QTreeWidget(&window);
    QTextBrowser *browser = new QTextBrowser(&window);

    // Returns the bytes read.
    qint64 open(const QString &path)
    {
        ChmArchive archive;
        if (!archive.open(path))
            return -1;
        tree->clear();
        auto *root = new QTreeWidgetItem(QStringList{archive.title()});
        addTopics(root, archive.contents());
        tree->addTopLevelItem(root);
        root->setExpanded(true);
        qint64 bytes = 0;
        for (const QString &topic : {archive.defaultTopic(), QStringLiteral("/b_psa_119.html")}) {
            QByteArray page;
            archive.read(topic.section(QLatin1Char('#'), 0, 0), page);
            bytes += page.size();
            browser->setHtml(ChmArchive::decodeText(page));
            if (topic.contains(QLatin1Char('#')))
                browser->scrollToAnchor(topic.section(QLatin1Char('#'), 1));
            browser->viewport()->grab();
        }
        return bytes;
    }
};

// Psalm 119's entry in the contents tree: the topic the viewer opens at.
QString psalm119Topic(const ChmArchive &archive)
{
    const QList<ChmArchive::TopicNode> books = archive.contents();
    if (books.size() < 19 || books[18].children.size() < 119)
        return QString();
    const QString local = books[18].children[118].local;
    return local.startsWith(QLatin1Char('/')) ? local : QLatin1Char('/') + local;
}

// The visible blocks of a page that are not laid out yet.
int blocksNotLaidOut(const QTextDocument &document)
{
    int count = 0;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        count += block.isVisible() && block.layout()->lineCount() == 0;
    return count;
}

// Runs pending events until the page is laid out whole; returns the time spent
// (5 s: the pane lays out no more unless it is scrolled there).
double layoutAfterwards(QTextBrowser &browser, const std::function<bool()> &pending)
{
    QElapsedTimer clock;
    clock.start();
    while ((pending() || blocksNotLaidOut(*browser.document()) > 0) && clock.elapsed() < 5000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    return clock.nsecsElapsed() / 1e6;
}

struct Showing
{
    double shown = 0;      // until painted
    double afterwards = 0; // laying out the rest
    int notLaidOut = 0;    // blocks not laid out when painted
};

// Each run goes to the default topic first (not timed), then Psalm 119 is shown
// and painted, then what is left is laid out.
Showing medianShowing(int runs, const std::function<void()> &away, const std::function<void()> &show,
                      QTextBrowser &browser, const std::function<bool()> &pending)
{
    QList<double> shown;
    QList<double> afterwards;
    int notLaidOut = 0;
    for (int run = 0; run < runs; ++run) {
        away();
        layoutAfterwards(browser, pending);
        QElapsedTimer clock;
        clock.start();
        show();
        browser.viewport()->grab();
        shown.append(clock.nsecsElapsed() / 1e6);
        notLaidOut = std::max(notLaidOut, blocksNotLaidOut(*browser.document()));
        afterwards.append(layoutAfterwards(browser, pending));
    }
    std::sort(shown.begin(), shown.end());
    std::sort(afterwards.begin(), afterwards.end());
    return Showing{shown[runs / 2], afterwards[runs / 2], notLaidOut};
}

// The viewer opening at Psalm 119 beside a plain QTextBrowser of the same size
// showing the same page from memory (already read and decoded).
void psalm119BesidePlainBrowser(const QString &chm, int runs)
{
    ChmArchive archive;
    archive.open(chm);
    const QString topic = psalm119Topic(archive);
    const QString anchor = topic.section(QLatin1Char('#'), 1);
    QByteArray bytes;
    archive.read(topic.section(QLatin1Char('#'), 0, 0), bytes);
    const QString page = ChmArchive::decodeText(bytes);
    const qsizetype pageBytes = bytes.size();
    archive.read(archive.defaultTopic(), bytes);
    const QString home = ChmArchive::decodeText(bytes);

    ChmViewer viewer;
    viewer.resize(900, 640);
    viewer.show();
    viewer.openFile(chm);
    ChmBrowser *pane = viewer.browser();
    QTextBrowser plain;
    plain.resize(pane->size());
    plain.show();

    const Showing baseline = medianShowing(
        runs, [&] { plain.setHtml(home); },
        [&] {
            plain.setHtml(page);
            if (!anchor.isEmpty())
                plain.scrollToAnchor(anchor);
        },
        plain, [] { return false; });
    const Showing program = medianShowing(
        runs, [&] { viewer.showTopic(archive.defaultTopic()); }, [&] { viewer.showTopic(topic); }, *pane,
        [pane] { return pane->pageLayoutPending(); });

    std::printf("\nPsalm 119 at %s: %lld bytes, %d characters shown\n", qPrintable(topic),
                static_cast<long long>(pageBytes), pane->document()->characterCount());
    printRow(QStringLiteral("baseline: a plain QTextBrowser shows the page from memory"), baseline.shown);
    printRow(QStringLiteral("viewer: Psalm 119 opened from the archive, on screen"), program.shown);
    printRow(QStringLiteral("afterwards, plain: the rest of the page laid out"), baseline.afterwards);
    printRow(QStringLiteral("afterwards, viewer: the rest of the page laid out"), program.afterwards);
    std::printf("blocks not laid out when painted: plain %d, viewer %d\n", baseline.notLaidOut,
                program.notLaidOut);
    // The page read from the archive after the default topic, as the viewer reads it.
    QList<double> reads;
    for (int run = 0; run < runs; ++run) {
        archive.read(archive.defaultTopic(), bytes);
        QElapsedTimer clock;
        clock.start();
        archive.read(topic.section(QLatin1Char('#'), 0, 0), bytes);
        reads.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(reads.begin(), reads.end());
    printRow(QStringLiteral("of which: the page read from the archive"), reads[runs / 2]);
    std::printf("ratio: %.2f (target: at most 1.5)\n", program.shown / baseline.shown);
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString chm = QStringLiteral(VX_PROGRAM_DIR "/Modules/CHM/cn_web_utf8.chm");
    const int runs = 9;

    PlainViewer plain;
    plain.window.resize(900, 640);
    plain.window.show();
    qint64 bytes = 0;
    const double baseline = medianMilliseconds(runs, [&] { bytes = plain.open(chm); });

    ChmViewer viewer;
    viewer.resize(900, 640);
    viewer.show();
    int characters = 0;
    QElapsedTimer clock;
    QList<double> rest;
    double longestStep = 0;
    const double open = medianMilliseconds(runs, [&] {
        viewer.openFile(chm);
        viewer.browser()->viewport()->grab();
        viewer.showTopic(QStringLiteral("/b_psa_119.html"));
        viewer.browser()->viewport()->grab();
        characters = viewer.browser()->document()->characterCount();
    });
    for (int run = 0; run < runs; ++run) {
        viewer.openFile(chm);
        viewer.showTopic(QStringLiteral("/b_psa_119.html"));
        viewer.browser()->viewport()->grab();
        clock.start();
        while (viewer.browser()->pageLayoutPending()) {
            QElapsedTimer step;
            step.start();
            QApplication::processEvents();
            longestStep = std::max(longestStep, step.nsecsElapsed() / 1e6);
        }
        rest.append(clock.nsecsElapsed() / 1e6);
    }
    std::sort(rest.begin(), rest.end());

    // Where the viewer's time goes: the page's HTML parsed into a bare document.
    ChmArchive archive;
    archive.open(chm);
    QByteArray page;
    archive.read(QStringLiteral("/b_psa_119.html"), page);
    const QString html = ChmArchive::decodeText(page);
    const double parse = medianMilliseconds(runs, [&] {
        QTextDocument document;
        document.setHtml(html);
    });

    // The contents file parsed, and a viewer (not shown) made and opened at the
    // default topic with its contents tree.
    QList<ChmArchive::TopicNode> nodes;
    const double sitemap = medianMilliseconds(runs, [&] { nodes = archive.contents(); });
    const double tree = medianMilliseconds(runs, [&] {
        ChmViewer fresh;
        fresh.openFile(chm);
    });

    std::printf("pages read: %lld bytes; Psalm 119 shown: %d characters\n", static_cast<long long>(bytes),
                characters);
    printRow(QStringLiteral("baseline: the archive read, a tree and a plain QTextBrowser"), baseline);
    printRow(QStringLiteral("viewer: open at the default topic, then Psalm 119 on screen"), open);
    printRow(QStringLiteral("of which: the Psalm 119 page parsed (setHtml alone)"), parse);
    printRow(QStringLiteral("of which: the contents file parsed"), sitemap);
    printRow(QStringLiteral("of which: a new viewer opened at the default topic"), tree);
    printRow(QStringLiteral("afterwards: the page above Psalm 119 laid out in steps"), rest[runs / 2]);
    printRow(QStringLiteral("  the longest of those steps (the pane is busy no longer)"), longestStep);
    std::printf("ratio: %.2f; with the layout afterwards %.2f\n", open / baseline,
                (open + rest[runs / 2]) / baseline);
    psalm119BesidePlainBrowser(chm, runs);
    return 0;
}
