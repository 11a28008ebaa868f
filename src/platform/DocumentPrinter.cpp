#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/PageLayoutCache.h"

#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextEdit>

namespace DocumentPrinter {

QPrinter &printer()
{
    static QPrinter shared(QPrinter::HighResolution);
    return shared;
}

std::optional<PageRange> pagesToPrint(const PageLayout &layout, int from, int to)
{
    const int count = layout.pageCount();
    if (!layout.isValid() || layout.isEmpty() || count < 1)
        return std::nullopt;
    const int first = std::max(1, from);
    const int last = (to <= 0 || to > count) ? count : to;
    if (first > count || first > last)
        return std::nullopt;
    return PageRange{first, last};
}

std::optional<PageRange> pagesToPrint(const PageLayout &layout, const QPrinter &printer)
{
    if (printer.printRange() == QPrinter::PageRange)
        return pagesToPrint(layout, printer.fromPage(), printer.toPage());
    return pagesToPrint(layout, 1, 0);
}

int printPages(QPrinter &printer, const PageLayout &layout, const PageRange &range)
{
    if (range.first < 1 || range.last < range.first)
        return 0;
    QPainter painter;
    if (!painter.begin(&printer))
        return -1;
    int printed = 0;
    for (int page = range.first; page <= range.last; ++page) {
        if (printed > 0)
            printer.newPage();
        layout.drawPage(painter, page);
        ++printed;
    }
    painter.end();
    return printed;
}

int printChosenPages(QPrinter &printer, const QTextEdit &pane, const QMarginsF &marginsInches,
                     PageLayoutCache &layouts)
{
    // The whole document or the pages chosen: a range of "Selection" (a printer
    // set up elsewhere) prints every page as well.
    const std::shared_ptr<const PageLayout> layout = layouts.layout(*pane.document(), printer, marginsInches);
    if (!layout->isValid())
        return NoRoomForText;
    const std::optional<PageRange> range = pagesToPrint(*layout, printer);
    return range ? printPages(printer, *layout, *range) : 0;
}

} // namespace DocumentPrinter
