// Counting the pages of a document of about 300 pages and drawing page 150 for
// the print preview through the shared page layout, next to the text
// document's own pagination of the same document (setPageSize + pageCount).

#include "BenchSupport.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/RichTextBox.h"
#include "platform/Twips.h"

#include <QApplication>
#include <QPageSize>
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

    const QSizeF body(printer.pageRect(QPrinter::DevicePixel).width() - 2 * printer.resolution(),
                      printer.pageRect(QPrinter::DevicePixel).height() - 2 * printer.resolution());
    const qreal toScreen = 1 / (Twips::perPixelX() / Twips::PerInch * printer.resolution());
    const int runs = 7;
    int run = 0;
    int baselinePages = 0;
    const double baseline = medianMilliseconds(runs, [&] {
        // A page size that differs from the last run's lays the document out anew.
        const qreal nudge = (run++ % 2) ? 1 : 0;
        pane.document()->setPageSize(QSizeF(body.width() * toScreen + nudge, body.height() * toScreen));
        baselinePages = pane.document()->pageCount();
    });
    pane.document()->setPageSize(QSizeF());

    int counted = 0;
    const double layout = medianMilliseconds(runs, [&] {
        const PageLayout pagesOf(*pane.document(), printer, margins);
        counted = pagesOf.pageCount();
        const QImage page150 =
            pagesOf.pageImage(150, QSize(Twips::toPixelsX(6.5 * 1440), Twips::toPixelsY(9 * 1440)));
        if (page150.isNull())
            std::printf("page 150 could not be drawn\n");
    });

    std::printf("document: %d characters, %d pages (the text document's own pagination: %d)\n",
                pane.endPosition(), counted, baselinePages);
    printRow(QStringLiteral("baseline: QTextDocument::setPageSize + pageCount"), baseline);
    printRow(QStringLiteral("page layout at the printer's resolution: count + draw page 150"), layout);
    std::printf("ratio: %.2f (target: at most 2)\n", layout / baseline);
    return 0;
}
