// Opening the shipped CHM Bible in the help viewer at its default topic and then
// at Psalm 119 (the longest chapter, in the largest page), next to the same work
// done plainly: the archive opened, its contents put into a tree, and the two
// pages read and shown as HTML in a plain QTextBrowser, each painted. The viewer
// is timed until Psalm 119 is painted; the part of the page above it, laid out
// after it shows, is timed apart.

#include "BenchSupport.h"
#include "platform/ChmArchive.h"
#include "platform/ChmViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSplitter>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTreeWidget>
#include <algorithm>

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
        for (const QString &topic : {archive.defaultTopic(), QStringLiteral("/b_psa.html#c119")}) {
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
        viewer.showTopic(QStringLiteral("/b_psa.html#c119"));
        viewer.browser()->viewport()->grab();
        characters = viewer.browser()->document()->characterCount();
    });
    for (int run = 0; run < runs; ++run) {
        viewer.openFile(chm);
        viewer.showTopic(QStringLiteral("/b_psa.html#c119"));
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
    archive.read(QStringLiteral("/b_psa.html"), page);
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

    std::printf("pages read: %lld bytes; Psalms page shown: %d characters\n", static_cast<long long>(bytes),
                characters);
    printRow(QStringLiteral("baseline: the archive read, a tree and a plain QTextBrowser"), baseline);
    printRow(QStringLiteral("viewer: open at the default topic, then Psalm 119 on screen"), open);
    printRow(QStringLiteral("of which: the Psalms page parsed (setHtml alone)"), parse);
    printRow(QStringLiteral("of which: the contents file parsed"), sitemap);
    printRow(QStringLiteral("of which: a new viewer opened at the default topic"), tree);
    printRow(QStringLiteral("afterwards: the page above Psalm 119 laid out in steps"), rest[runs / 2]);
    printRow(QStringLiteral("  the longest of those steps (the pane is busy no longer)"), longestStep);
    std::printf("ratio: %.2f; with the layout afterwards %.2f\n", open / baseline,
                (open + rest[runs / 2]) / baseline);
    return 0;
}
