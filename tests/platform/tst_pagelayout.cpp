#include "common/PdfTools.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/PageLayoutCache.h"
#include "platform/ParagraphIndents.h"
#include "platform/Twips.h"

#include <QFile>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QtTest>

namespace {
// A document of numbered lines ("Line 1", "Line 2", ...) in 12-point type,
// every paragraph indented by the given amount (screen pixels).
std::unique_ptr<QTextDocument> numberedLines(int count, qreal indent = 0)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QTextCursor cursor(document.get());
    QTextBlockFormat format;
    format.setLeftMargin(indent);
    cursor.setBlockFormat(format);
    for (int i = 1; i <= count; ++i) {
        if (i > 1)
            cursor.insertBlock(format);
        cursor.insertText(QStringLiteral("Line %1").arg(i));
    }
    return document;
}

// Lines enough for the given number of pages, the last page partly filled.
std::unique_ptr<QTextDocument> documentOfPages(int pages, QPrinter &printer, const QMarginsF &margins)
{
    int lines = 10;
    while (true) {
        auto document = numberedLines(lines);
        const int count = PageLayout(*document, printer, margins).pageCount();
        if (count == pages) {
            lines += 5;
            auto fuller = numberedLines(lines);
            if (PageLayout(*fuller, printer, margins).pageCount() == pages)
                return fuller;
            return document;
        }
        if (count > pages)
            qFatal("no line count gives %d pages", pages);
        lines += 10;
    }
}

// The bands of rows that hold ink, top to bottom: one per printed line.
QList<QRect> textRows(const QImage &image)
{
    QList<QRect> rows;
    int top = -1;
    for (int y = 0; y <= image.height(); ++y) {
        bool ink = false;
        for (int x = 0; y < image.height() && x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && top < 0)
            top = y;
        if (!ink && top >= 0) {
            rows.append(QRect(0, top, image.width(), y - top));
            top = -1;
        }
    }
    return rows;
}

QString lineAt(const QTextDocument &document, int position)
{
    return document.findBlock(position).text();
}

// What paragraphs of words have besides: a number each in a list, or a black
// picture taller than a page at the end of the fifth.
enum class Extra { None, NumberedList, TallPicture };

// Paragraphs of numbered words ("P1w1 P1w2 ..."). `printed` gets the words and
// list numbers in the order they print.
std::unique_ptr<QTextDocument> wordParagraphs(int paragraphs, int words, int pointSize, Extra extra,
                                              QStringList &printed)
{
    auto document = std::make_unique<QTextDocument>();
    document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), pointSize));
    QTextCursor cursor(document.get());
    if (extra == Extra::NumberedList)
        cursor.createList(QTextListFormat::ListDecimal);
    for (int p = 1; p <= paragraphs; ++p) {
        if (p > 1)
            cursor.insertBlock();
        if (extra == Extra::NumberedList)
            printed.append(QStringLiteral("%1.").arg(p));
        for (int w = 1; w <= words; ++w) {
            printed.append(QStringLiteral("P%1w%2").arg(p).arg(w));
            cursor.insertText(printed.last() + QLatin1Char(' '));
        }
        if (extra == Extra::TallPicture && p == 5) {
            QImage picture(300, 1500, QImage::Format_RGB32); // over 15 inches on the screen
            picture.fill(Qt::black);
            cursor.insertImage(picture);
        }
    }
    return document;
}

// What changes between two requests for a layout.
enum class Change { Nothing, TextTyped, TextMadeBold, DefaultFont, Paper, Resolution, Margins, OutputFile };
} // namespace

class TestPageLayout : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    QString pdf(const QString &name) const { return m_dir.filePath(name + QStringLiteral(".pdf")); }

private Q_SLOTS:
    void pageCountIsWhatPrints_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<QMarginsF>("margins");
        QTest::newRow("one line") << 1 << QMarginsF();
        QTest::newRow("a page and a bit") << 70 << QMarginsF();
        QTest::newRow("many pages with margins") << 400 << QMarginsF(1, 1, 1, 1.5);
    }
    void pageCountIsWhatPrints()
    {
        QFETCH(int, lines);
        QFETCH(QMarginsF, margins);
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QString::fromLatin1(QTest::currentDataTag()));
        PdfTools::setUpPdfPrinter(printer, file);
        auto document = numberedLines(lines);
        const PageLayout layout(*document, printer, margins);
        QVERIFY(layout.isValid());
        const auto range = DocumentPrinter::pagesToPrint(layout, printer);
        QVERIFY(range);
        QCOMPARE(DocumentPrinter::printPages(printer, layout, *range), layout.pageCount());
        QCOMPARE(PdfTools::pageCount(file), layout.pageCount());
        // Every page starts where the layout says it does.
        for (int page = 1; page <= layout.pageCount(); ++page)
            QCOMPARE(PdfTools::firstLine(file, page), lineAt(*document, layout.pageStart(page)));
        QCOMPARE(PdfTools::pageText(file, layout.pageCount()).contains(QStringLiteral("Line %1").arg(lines)),
                 true);
    }

    // Each line is printed once, on its own page: the text layer holds no line of
    // a neighbouring page hidden behind the clip, also where a paragraph goes on
    // over a page's foot, and a page with text shows ink. A picture taller than a
    // page prints whole on one page, as tall as its body, its shape kept.
    void everyLineOnceInTheTextLayer_data()
    {
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("words"); // in each of the lines' paragraphs
        QTest::addColumn<QMarginsF>("margins");
        QTest::addColumn<int>("pointSize");
        QTest::addColumn<Extra>("extra");
        QTest::newRow("no margins") << 200 << 2 << QMarginsF() << 12 << Extra::None;
        QTest::newRow("margins") << 300 << 2 << QMarginsF(1, 0.7, 1, 1.3) << 12 << Extra::None;
        QTest::newRow("large type") << 120 << 2 << QMarginsF(0.5, 0.5, 0.5, 0.5) << 23 << Extra::None;
        QTest::newRow("numbered paragraphs")
            << 40 << 45 << QMarginsF(1, 0.8, 1, 1.2) << 11 << Extra::NumberedList;
        QTest::newRow("picture taller than a page")
            << 12 << 60 << QMarginsF(1, 1, 1, 1) << 12 << Extra::TallPicture;
        QTest::newRow("type taller than a page") << 3 << 4 << QMarginsF(0.5, 5, 0.5, 5) << 90 << Extra::None;
    }
    void everyLineOnceInTheTextLayer()
    {
        QFETCH(int, lines);
        QFETCH(int, words);
        QFETCH(QMarginsF, margins);
        QFETCH(int, pointSize);
        QFETCH(Extra, extra);
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("once-") + QString::fromLatin1(QTest::currentDataTag()));
        PdfTools::setUpPdfPrinter(printer, file);
        QStringList expected;
        auto document = wordParagraphs(lines, words, pointSize, extra, expected);
        const PageLayout layout(*document, printer, margins);
        QVERIFY(layout.pageCount() > 1);
        QCOMPARE(DocumentPrinter::printPages(printer, layout, {1, layout.pageCount()}), layout.pageCount());
        QStringList printed;
        const int dpi = 36;
        const int body = qRound((11 - margins.top() - margins.bottom()) * dpi); // US Letter
        QList<QSize> pictures; // ink more than an inch deep: its width half-way down, and depth
        for (int page = 1; page <= layout.pageCount(); ++page) {
            const QString text = PdfTools::pageText(file, page);
            printed += text.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            const QImage image = PdfTools::pageImage(file, page, dpi)
                                     .copy(0, qRound(margins.top() * dpi), int(8.5 * dpi), body);
            QVERIFY2(text.trimmed().isEmpty() || PdfTools::firstDarkRow(image) >= 0,
                     qPrintable(QString::number(page)));
            for (const QRect &band : textRows(image)) {
                const QImage middle = image.copy(0, band.center().y(), image.width(), 1);
                if (band.height() > dpi)
                    pictures.append({image.width() - PdfTools::firstDarkColumn(middle.mirrored(true, false)) -
                                         PdfTools::firstDarkColumn(middle),
                                     band.height()});
            }
        }
        QCOMPARE(printed, expected);
        QCOMPARE(pictures.size(), int(extra == Extra::TallPicture));
        for (const QSize &shown : pictures) {
            QVERIFY(shown.height() > body * 0.95 && shown.height() <= body + 1);
            QVERIFY(qAbs(shown.width() * 5 - shown.height()) <= 10);
        }
    }

    void pageRanges_data()
    {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<int>("first"); // 0: nothing prints
        QTest::addColumn<int>("last");
        QTest::newRow("2 to 3") << 2 << 3 << 2 << 3;
        QTest::newRow("all pages") << 0 << 0 << 1 << 5;
        QTest::newRow("to 0 runs to the end") << 4 << 0 << 4 << 5;
        QTest::newRow("to past the end") << 3 << 99 << 3 << 5;
        QTest::newRow("last page only") << 5 << 5 << 5 << 5;
        QTest::newRow("from past the end") << 6 << 0 << 0 << 0;
        QTest::newRow("from after to") << 3 << 2 << 0 << 0;
    }
    void pageRanges()
    {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(int, first);
        QFETCH(int, last);
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("range-%1-%2").arg(from).arg(to));
        PdfTools::setUpPdfPrinter(printer, file);
        const QMarginsF margins(0.5, 0.5, 0.5, 0.5);
        auto document = documentOfPages(5, printer, margins);
        const PageLayout layout(*document, printer, margins);
        QCOMPARE(layout.pageCount(), 5);
        printer.setPrintRange(QPrinter::PageRange);
        printer.setFromTo(from, to);
        const auto range = DocumentPrinter::pagesToPrint(layout, from, to);
        if (first == 0) {
            QVERIFY(!range);
            // No job was begun: no file.
            QVERIFY(!QFile::exists(file));
            return;
        }
        QVERIFY(range);
        QCOMPARE(range->first, first);
        QCOMPARE(range->last, last);
        QCOMPARE(DocumentPrinter::printPages(printer, layout, *range), last - first + 1);
        QCOMPARE(PdfTools::pageCount(file), last - first + 1);
        QCOMPARE(PdfTools::firstLine(file, 1), lineAt(*document, layout.pageStart(first)));
    }

    // The left margin is measured from the printable area's edge; the indent all
    // paragraphs share on the screen is not printed on top of it, a deeper one is.
    void leftMarginPutsTheFirstInkThere_data()
    {
        QTest::addColumn<double>("margin"); // inches
        QTest::addColumn<double>("sharedIndent");
        QTest::addColumn<int>("expected"); // points from the paper's edge
        QTest::newRow("1 inch") << 1.0 << 0.0 << 72;
        QTest::newRow("1 inch over an indented pane") << 1.0 << 1.0 << 72;
        QTest::newRow("no margin") << 0.0 << 0.5 << 0;
        QTest::newRow("20 mm") << 20 / 25.4 << 0.0 << 57;
    }
    void leftMarginPutsTheFirstInkThere()
    {
        QFETCH(double, margin);
        QFETCH(double, sharedIndent);
        QFETCH(int, expected);
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("left-%1").arg(QTest::currentDataTag()));
        PdfTools::setUpPdfPrinter(printer, file);
        const qreal screenPixelsPerInch = Twips::PerInch / Twips::perPixelX();
        auto document = numberedLines(30, sharedIndent * screenPixelsPerInch);
        // One paragraph indented half an inch deeper than the others keeps that.
        QTextCursor cursor(document->findBlockByNumber(3));
        QTextBlockFormat deeper = cursor.blockFormat();
        deeper.setLeftMargin((sharedIndent + 0.5) * screenPixelsPerInch);
        cursor.setBlockFormat(deeper);
        const PageLayout layout(*document, printer, QMarginsF(margin, 0, 0, 0));
        QCOMPARE(DocumentPrinter::printPages(printer, layout, {1, 1}), 1);
        const QImage page = PdfTools::pageImage(file, 1, 72);
        QCOMPARE(page.width(), 612);
        const int ink = PdfTools::firstDarkColumn(page);
        QVERIFY2(qAbs(ink - expected) <= 3, qPrintable(QStringLiteral("first ink at %1").arg(ink)));
        // The fourth line, half an inch deeper, starts about 36 points further right.
        const QImage fourth = page.copy(textRows(page).value(3));
        QVERIFY(!fourth.isNull());
        const int deeperInk = PdfTools::firstDarkColumn(fourth);
        QVERIFY2(qAbs(deeperInk - expected - 36) <= 3,
                 qPrintable(QStringLiteral("fourth line at %1").arg(deeperInk)));
    }

    void nothingIsPrintedInsideTheTopAndBottomMargins()
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("topbottom"));
        PdfTools::setUpPdfPrinter(printer, file);
        auto document = numberedLines(150);
        const PageLayout layout(*document, printer, QMarginsF(0.5, 1, 0.5, 1.5));
        QVERIFY(layout.pageCount() >= 3);
        QCOMPARE(DocumentPrinter::printPages(printer, layout, {1, layout.pageCount()}), layout.pageCount());
        for (int page = 1; page < layout.pageCount(); ++page) {
            const QImage image = PdfTools::pageImage(file, page, 72);
            QCOMPARE(image.height(), 792);
            QVERIFY2(PdfTools::firstDarkRow(image) >= 72,
                     qPrintable(QString::number(PdfTools::firstDarkRow(image))));
            QVERIFY2(PdfTools::lastDarkRow(image) <= 792 - 108,
                     qPrintable(QString::number(PdfTools::lastDarkRow(image))));
            // A full page uses most of the body.
            QVERIFY(PdfTools::lastDarkRow(image) > 792 - 108 - 40);
        }
    }

    void emptyDocumentHasOnePageAndPrintsNothing()
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("empty"));
        PdfTools::setUpPdfPrinter(printer, file);
        const QTextDocument empty;
        const PageLayout layout(empty, printer, QMarginsF(1, 1, 1, 1));
        QVERIFY(layout.isValid());
        QVERIFY(layout.isEmpty());
        QCOMPARE(layout.pageCount(), 1);
        QVERIFY(!DocumentPrinter::pagesToPrint(layout, printer));
        QVERIFY(!DocumentPrinter::pagesToPrint(layout, 1, 1));
        QVERIFY(!QFile::exists(file));
    }

    void marginsThatLeaveNoRoomGiveNoLayout_data()
    {
        QTest::addColumn<QMarginsF>("margins");
        QTest::newRow("sides as wide as the page") << QMarginsF(4.5, 0, 4, 0);
        QTest::newRow("wider than the page") << QMarginsF(6, 0, 6, 0);
        QTest::newRow("top and bottom as tall as the page") << QMarginsF(0, 6, 0, 5);
    }
    void marginsThatLeaveNoRoomGiveNoLayout()
    {
        QFETCH(QMarginsF, margins);
        QPrinter printer(QPrinter::HighResolution);
        PdfTools::setUpPdfPrinter(printer, pdf(QStringLiteral("none")));
        auto document = numberedLines(20);
        const PageLayout layout(*document, printer, margins);
        QVERIFY(!layout.isValid());
        QCOMPARE(layout.pageCount(), 0);
        QVERIFY(!DocumentPrinter::pagesToPrint(layout, 0, 0));
        QVERIFY(layout.pageImage(1, QSize(100, 130)).pixel(50, 50) == qRgb(255, 255, 255));
    }

    // The preview's pictures come from the same layout: text where the page has text.
    void pageImageShowsThePage()
    {
        QPrinter printer(QPrinter::HighResolution);
        PdfTools::setUpPdfPrinter(printer, pdf(QStringLiteral("image")));
        auto document = numberedLines(200);
        const PageLayout layout(*document, printer, QMarginsF(1, 1, 1, 1));
        const QImage image = layout.pageImage(2, QSize(612, 792));
        QCOMPARE(image.size(), QSize(612, 792));
        QVERIFY(qAbs(PdfTools::firstDarkColumn(image) - 72) <= 3);
        QVERIFY(PdfTools::firstDarkRow(image) >= 72);
        QVERIFY(layout.pageImage(1, QSize()).isNull());
    }

    // A kept layout is handed out only while it is what a new one would be.
    void cacheKeepsTheLayoutUntilSomethingChanges_data()
    {
        QTest::addColumn<Change>("change");
        QTest::addColumn<bool>("kept");
        QTest::newRow("nothing") << Change::Nothing << true;
        QTest::newRow("another output file") << Change::OutputFile << true;
        QTest::newRow("text typed") << Change::TextTyped << false;
        QTest::newRow("text made bold") << Change::TextMadeBold << false;
        QTest::newRow("default font") << Change::DefaultFont << false;
        QTest::newRow("paper") << Change::Paper << false;
        QTest::newRow("resolution") << Change::Resolution << false;
        QTest::newRow("margins") << Change::Margins << false;
    }
    void cacheKeepsTheLayoutUntilSomethingChanges()
    {
        QFETCH(Change, change);
        QFETCH(bool, kept);
        QPrinter printer(QPrinter::HighResolution);
        PdfTools::setUpPdfPrinter(printer, pdf(QStringLiteral("cache")));
        QMarginsF margins(1, 1, 1, 1);
        auto document = numberedLines(150);
        PageLayoutCache layouts;
        const std::shared_ptr<const PageLayout> first = layouts.layout(*document, printer, margins);
        QTextCursor cursor(document.get());
        QTextCharFormat bold;
        bold.setFontWeight(QFont::Bold);
        switch (change) {
        case Change::Nothing:
            break;
        case Change::TextTyped:
            cursor.insertText(QStringLiteral("Line 0\nLine 00\n"));
            break;
        case Change::TextMadeBold:
            cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(bold);
            break;
        case Change::DefaultFont:
            document->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 14));
            break;
        case Change::Paper:
            printer.setPageSize(QPageSize(QPageSize::A5));
            break;
        case Change::Resolution:
            printer.setResolution(300);
            break;
        case Change::Margins:
            margins.setBottom(2);
            break;
        case Change::OutputFile:
            printer.setOutputFileName(pdf(QStringLiteral("cache-other")));
            break;
        }
        const std::shared_ptr<const PageLayout> second = layouts.layout(*document, printer, margins);
        QCOMPARE(second == first, kept);
        const PageLayout fresh(*document, printer, margins);
        QCOMPARE(second->pageCount(), fresh.pageCount());
        for (int page = 2; page <= fresh.pageCount(); ++page)
            QCOMPARE(second->pageStart(page), fresh.pageStart(page));
        QCOMPARE(second->bodyRect(), fresh.bodyRect());
    }

    // A document deleted and another made in its place (likely at its address,
    // with the same revision) is not mistaken for it.
    void cacheTellsAnotherDocumentApart()
    {
        QPrinter printer(QPrinter::HighResolution);
        PdfTools::setUpPdfPrinter(printer, pdf(QStringLiteral("cache-documents")));
        const QMarginsF margins(1, 1, 1, 1);
        auto plainLines = [](int count) {
            auto document = std::make_unique<QTextDocument>();
            document->setPlainText(numberedLines(count)->toPlainText());
            return document;
        };
        PageLayoutCache layouts;
        auto document = plainLines(150);
        const int revision = document->revision();
        QCOMPARE(layouts.layout(*document, printer, margins)->pageCount(), 3);
        document.reset();
        document = plainLines(20);
        QCOMPARE(document->revision(), revision);
        QCOMPARE(layouts.layout(*document, printer, margins)->pageCount(), 1);
    }

    // A document of bullets only: the page's margin they share is dropped, but
    // not the room of the bullets, which print between the margin and the text
    // (dropped with it, they would fall off the paper and the text stand at the margin).
    void bulletsPrintInTheirRoom()
    {
        QPrinter printer(QPrinter::HighResolution);
        const QString file = pdf(QStringLiteral("bullets"));
        PdfTools::setUpPdfPrinter(printer, file);
        const qreal screenPixelsPerInch = Twips::PerInch / Twips::perPixelX();
        const qreal room = ParagraphIndents::MarkerRoomTwips / Twips::perPixelX();
        auto document = numberedLines(10, 0.5 * screenPixelsPerInch + room);
        QTextListFormat bullets;
        bullets.setStyle(QTextListFormat::ListDisc);
        bullets.setIndent(0);
        QTextCursor(document.get()).createList(bullets);
        for (QTextBlock block = document->begin().next(); block.isValid(); block = block.next())
            document->begin().textList()->add(block);
        const PageLayout layout(*document, printer, QMarginsF(1, 0, 0, 0));
        QCOMPARE(DocumentPrinter::printPages(printer, layout, {1, 1}), 1);
        const QImage page = PdfTools::pageImage(file, 1, 72);
        const int textAt = 72 + int(ParagraphIndents::MarkerRoomTwips / 20); // points
        const int ink = PdfTools::firstDarkColumn(page);
        QVERIFY2(ink > 72 + 3 && ink < textAt - 3, qPrintable(QStringLiteral("first ink at %1").arg(ink)));
    }
};

QTEST_MAIN(TestPageLayout)
#include "tst_pagelayout.moc"
