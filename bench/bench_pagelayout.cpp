// Counting the pages of a document of about 300 pages and drawing page 150 for
// the print preview through the shared page layout, next to the same work done
// as QTextDocument::print does it: a copy of the document laid out on the
// printer's page with the printer's resolution, then page 150 drawn.

#include "BenchSupport.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);

    QPrinter &printer = DocumentPrinter::printer();
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    const QMarginsF margins(1, 1, 1, 1);

    // The workspace's pane: the books one after another, every paragraph with
    // the page indent the pane has on the screen, until there are 300 pages.
    RichTextBox pane;
    pane.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QString text;
    int pages = 0;
    for (int book = 1; book <= 66 && pages < 300; ++book) {
        text += kjv->BookContents(book, false);
        pane.setText(text);
        pages = PageLayout(*pane.document(), printer, margins).pageCount();
    }
    pane.setSelStart(0);
    pane.setSelLength(pane.endPosition());
    pane.setSelIndent(1440);

    const int runs = 9;
    const QSize pictureSize(Twips::toPixelsX(6.5 * 1440), Twips::toPixelsY(9 * 1440));
    const QRectF pageRect = printer.pageRect(QPrinter::DevicePixel);
    const QMarginsF marginPixels(printer.resolution() * margins.left(), printer.resolution() * margins.top(),
                                 printer.resolution() * margins.right(),
                                 printer.resolution() * margins.bottom());
    const QRectF bodyRect = QRectF(QPointF(0, 0), pageRect.size()).marginsRemoved(marginPixels);
    int baselinePages = 0;
    const double baseline = medianMilliseconds(runs, [&] {
        std::unique_ptr<QTextDocument> copy(pane.document()->clone());
        copy->documentLayout()->setPaintDevice(&printer);
        copy->setPageSize(bodyRect.size());
        baselinePages = copy->pageCount();
        QImage picture(pictureSize, QImage::Format_RGB32);
        picture.fill(Qt::white);
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.scale(pictureSize.width() / pageRect.width(), pictureSize.height() / pageRect.height());
        const QRectF page150(0, 149 * bodyRect.height(), bodyRect.width(), bodyRect.height());
        painter.translate(bodyRect.left(), bodyRect.top() - page150.top());
        copy->drawContents(&painter, page150);
    });

    int counted = 0;
    const double layout = medianMilliseconds(runs, [&] {
        const PageLayout pagesOf(*pane.document(), printer, margins);
        counted = pagesOf.pageCount();
        const QImage page150 = pagesOf.pageImage(150, pictureSize);
        if (page150.isNull())
            std::printf("page 150 could not be drawn\n");
    });

    std::printf("document: %d characters, %d pages (the copy laid out plainly: %d)\n", pane.endPosition(),
                counted, baselinePages);
    printRow(QStringLiteral("baseline: copy, lay out for the printer, count + draw page 150"), baseline);
    printRow(QStringLiteral("page layout at the printer's resolution: count + draw page 150"), layout);
    std::printf("ratio: %.2f (target: at most 2)\n", layout / baseline);
    return 0;
}
