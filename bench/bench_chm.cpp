// Opening the shipped CHM Bible in the help viewer at its default topic and then
// at Psalm 119 (the longest chapter, in the largest page), next to reading the
// same two pages' bytes with chmlib alone.

#include "BenchSupport.h"
#include "platform/ChmArchive.h"
#include "platform/ChmViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextDocument>
#include <algorithm>
#include <chm_lib.h>
#include <vector>

namespace {
const char *const Pages[] = {"/index.html", "/b_psa.html"};

qint64 readWithChmlib(const QByteArray &path)
{
    chmFile *file = chm_open(path.constData());
    if (!file)
        return -1;
    qint64 total = 0;
    for (const char *page : Pages) {
        chmUnitInfo info{};
        if (chm_resolve_object(file, page, &info) != CHM_RESOLVE_SUCCESS)
            continue;
        std::vector<unsigned char> bytes(info.length);
        total += chm_retrieve_object(file, &info, bytes.data(), 0, info.length);
    }
    chm_close(file);
    return total;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const QString chm = QStringLiteral(VX_PROGRAM_DIR "/Modules/CHM/cn_web_utf8.chm");
    const QByteArray path = QFile::encodeName(chm);
    const int runs = 9;

    qint64 bytes = 0;
    const double baseline = medianMilliseconds(runs, [&] { bytes = readWithChmlib(path); });

    ChmViewer viewer;
    viewer.resize(900, 640);
    viewer.show();
    int characters = 0;
    // Until Psalm 119 is on screen; the rest of the page is laid out after it
    // shows, in steps, timed apart.
    QElapsedTimer clock;
    QList<double> rest;
    const double open = medianMilliseconds(runs, [&] {
        viewer.openFile(chm);
        viewer.browser()->viewport()->repaint();
        viewer.showTopic(QStringLiteral("/b_psa.html#c119"));
        viewer.browser()->viewport()->repaint();
        characters = viewer.browser()->document()->characterCount();
    });
    for (int run = 0; run < runs; ++run) {
        viewer.openFile(chm);
        viewer.showTopic(QStringLiteral("/b_psa.html#c119"));
        viewer.browser()->viewport()->repaint();
        clock.start();
        while (viewer.browser()->pageLayoutPending())
            QApplication::processEvents();
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

    // The contents tree alone: the sitemap parsed, and the tree filled.
    QList<ChmArchive::TopicNode> nodes;
    const double sitemap = medianMilliseconds(runs, [&] { nodes = archive.contents(); });
    const double tree = medianMilliseconds(runs, [&] {
        ChmViewer fresh;
        fresh.openFile(chm);
    });

    std::printf("pages read: %lld bytes; Psalms page shown: %d characters\n", static_cast<long long>(bytes),
                characters);
    printRow(QStringLiteral("baseline: chmlib alone, default topic and the Psalms page"), baseline);
    printRow(QStringLiteral("viewer: open at the default topic, then Psalm 119"), open);
    printRow(QStringLiteral("afterwards: the page above Psalm 119 laid out in steps"), rest[runs / 2]);
    printRow(QStringLiteral("of which at least: the Psalms page parsed (setHtml alone)"), parse);
    printRow(QStringLiteral("the sitemap parsed"), sitemap);
    printRow(QStringLiteral("a fresh viewer opened at the default topic"), tree);
    std::printf("ratio: %.2f\n", open / baseline);
    return 0;
}
