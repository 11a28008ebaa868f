// Printing a document of about 480 pages to PDF from the print preview (the
// preview opened, its Print pressed, the print dialog answered with all pages),
// next to the same pages printed the plainest good way: one copy of the
// document laid out on the printer's page at its resolution, then every page
// drawn on the printer.

#include "BenchSupport.h"
#include "bookmarks/frmDocPreview.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "platform/DefaultInstance.h"
#include "platform/Desktop.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/RichTextBox.h"
#include "platform/TestDesktop.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QFile>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTextCursor>
#include <QTextDocument>
#include <QToolButton>

namespace {
constexpr int WantedPages = 480;

void setUpPrinter(QPrinter &printer, const QString &pdf)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    printer.setPageSize(QPageSize(QPageSize::Letter));
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
    printer.setPrintRange(QPrinter::AllPages);
}

// The workspace's pane: books one after another, every paragraph with the page
// indent the pane has on the screen, until the pages are printed on WantedPages.
void fillPane(RichTextBox &pane, Translation &bible, QPrinter &printer, const QMarginsF &margins)
{
    pane.document()->setDefaultFont(QFont(QStringLiteral("DejaVu Sans"), 12));
    QString text;
    for (int book = 1, pages = 0; book <= 66 && pages < WantedPages; ++book) {
        text += bible.BookContents(book, false);
        pane.setText(text);
        pages = PageLayout(*pane.document(), printer, margins).pageCount();
        if (pages > WantedPages) {
            // Cut the last book back to the page wanted.
            const PageLayout whole(*pane.document(), printer, margins);
            QTextCursor cut(pane.document());
            cut.setPosition(whole.pageStart(WantedPages + 1));
            cut.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
            cut.removeSelectedText();
        }
    }
    pane.setSelStart(0);
    pane.setSelLength(pane.endPosition());
    pane.setSelIndent(1440);
}

// One copy laid out for the printer, then every page drawn on it.
int printPlainly(const QTextDocument &source, QPrinter &printer, const QMarginsF &margins)
{
    std::unique_ptr<QTextDocument> copy(source.clone());
    copy->setDocumentMargin(0);
    copy->documentLayout()->setPaintDevice(&printer);
    const double dpi = printer.resolution();
    const QRectF body = QRectF(QPointF(0, 0), printer.pageRect(QPrinter::DevicePixel).size())
                            .marginsRemoved(QMarginsF(margins.left() * dpi, margins.top() * dpi,
                                                      margins.right() * dpi, margins.bottom() * dpi));
    copy->setPageSize(body.size());
    const int pages = copy->pageCount();
    QPainter painter(&printer);
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        const QRectF clip(0, page * body.height(), body.width(), body.height());
        painter.save();
        painter.translate(body.left(), body.top() - clip.top());
        painter.setClipRect(clip);
        copy->drawContents(&painter, clip);
        painter.restore();
    }
    return pages;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BenchProgramFolder folder;
    auto &desk = static_cast<TestDesktop &>(desktop());
    gBibles.Add(QStringLiteral("King James Version"), QStringLiteral("b_kjv.txt"), true, 0);
    std::shared_ptr<Translation> kjv = TranslationHelpers::GetTranslation(0);
    const QString pdf = folder.path() + QStringLiteral("printed.pdf");

    // One inch all round, as the page settings give it.
    gCM_IN = true;
    gFitToDesktop = false;
    gMarginLeft = gMarginRight = gTopMargin = gBottomMargin = 1;
    frmDocPreview::SetPrintMargins();
    const QMarginsF margins = frmDocPreview::PrintMargins();
    QPrinter &printer = DocumentPrinter::printer();
    setUpPrinter(printer, pdf);
    RichTextBox pane;
    fillPane(pane, *kjv, printer, margins);

    const int runs = 9;
    int plainPages = 0;
    const double baseline = medianMilliseconds(runs, [&] {
        QFile::remove(pdf);
        plainPages = printPlainly(*pane.document(), printer, margins);
    });
    const qint64 plainBytes = QFile(pdf).size();

    // The preview's Print is pressed as soon as it has drawn its first page.
    frmDocPreview::setShowModal([] { DefaultInstance<frmDocPreview>::get().cmdPrint->click(); });
    int previewPages = 0;
    const double program = medianMilliseconds(runs, [&] {
        QFile::remove(pdf);
        desk.printAnswers.push_back(TestDesktop::PrintAnswer{QPrinter::AllPages, 0, 0, pdf});
        frmDocPreview::DocPreviewProc(pane, nullptr);
        previewPages = desk.printDialogs.last().pageCount;
    });
    const qint64 programBytes = QFile(pdf).size();

    const double layout = medianMilliseconds(runs, [&] {
        const PageLayout once(*pane.document(), printer, margins);
        previewPages = once.pageCount();
    });

    std::printf(
        "document: %d characters; pages: %d from the preview, %d printed plainly; PDF %lld and %lld bytes\n",
        pane.endPosition(), previewPages, plainPages, static_cast<long long>(programBytes),
        static_cast<long long>(plainBytes));
    printRow(QStringLiteral("baseline: one layout for the printer, every page drawn"), baseline);
    printRow(QStringLiteral("preview, Print, print dialog, every page printed"), program);
    printRow(QStringLiteral("of which: one page layout made and its pages counted"), layout);
    std::printf("ratio: %.2f (target: at most 1.2)\n", program / baseline);
    return 0;
}
