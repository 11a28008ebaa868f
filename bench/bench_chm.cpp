// Opening the shipped CHM Bible in the help viewer at its default topic and then
// at Psalm 119 (the longest chapter, in the largest page), next to reading the
// same two pages' bytes with libmspack alone. The viewer is timed until Psalm 119
// is painted; the part of the page above it, laid out after it shows, is timed
// apart.

#include "BenchSupport.h"
#include "platform/ChmArchive.h"
#include "platform/ChmViewer.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTextDocument>
#include <algorithm>
#include <mspack.h>

namespace {
const char *const Pages[] = {"/index.html", "/b_psa.html"};

// A copy of the archive whose header the library accepts as it is: the help
// compiler writes its first identifier twice (the viewer mends that as it reads).
QString mendedCopy(const QString &chm, const QTemporaryDir &out)
{
    const QString copy = out.filePath(QStringLiteral("mended.chm"));
    QFile::copy(chm, copy);
    QFile file(copy);
    if (file.open(QIODevice::ReadWrite) && file.seek(0x28))
        file.write("\x11", 1);
    return copy;
}

// The library's own way: its default file access, each page written to a file.
qint64 readWithLibmspack(const QByteArray &path, const QTemporaryDir &out)
{
    mschm_decompressor *chm = mspack_create_chm_decompressor(nullptr);
    mschmd_header *header = chm ? chm->open(chm, path.constData()) : nullptr;
    qint64 total = 0;
    for (mschmd_file *file = header ? header->files : nullptr; file; file = file->next)
        for (const char *page : Pages)
            if (qstrcmp(file->filename, page) == 0 &&
                chm->extract(chm, file,
                             QFile::encodeName(out.filePath(QStringLiteral("page"))).constData()) ==
                    MSPACK_ERR_OK)
                total += file->length;
    if (header)
        chm->close(chm, header);
    if (chm)
        mspack_destroy_chm_decompressor(chm);
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
    const QTemporaryDir out;
    const QByteArray mended = QFile::encodeName(mendedCopy(chm, out));
    const double baseline = medianMilliseconds(runs, [&] { bytes = readWithLibmspack(mended, out); });

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
    printRow(QStringLiteral("baseline: libmspack alone, default topic and the Psalms page"), baseline);
    printRow(QStringLiteral("viewer: open at the default topic, then Psalm 119 on screen"), open);
    printRow(QStringLiteral("of which: the Psalms page parsed (setHtml alone)"), parse);
    printRow(QStringLiteral("of which: the contents file parsed"), sitemap);
    printRow(QStringLiteral("of which: a new viewer opened at the default topic"), tree);
    printRow(QStringLiteral("afterwards: the page above Psalm 119 laid out in steps"), rest[runs / 2]);
    printRow(QStringLiteral("  the longest of those steps (the pane is busy no longer)"), longestStep);
    std::printf("ratio: %.2f\n", open / baseline);
    return 0;
}
