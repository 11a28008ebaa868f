#pragma once

#include <QMarginsF>
#include <memory>
#include <optional>

class PageLayout;
class PageLayoutCache;
class QPrinter;
class QTextCursor;
class QTextDocument;
class QTextEdit;

// Printing rich text over the shared page layout: the printer every print
// command uses, the pages a chosen range stands for, and the job itself.
namespace DocumentPrinter {

// The program's printer, shared by printing, the preview and the print dialog,
// so that a printer or paper chosen once stays chosen.
QPrinter &printer();

struct PageRange
{
    int first = 0; // from 1
    int last = 0;
};

// The pages a From and To of the print dialog stand for: From below 1 is 1; To
// of 0 or past the last page is the last page. None when the document is empty,
// From lies past the last page or after To, or the layout has no room for text.
std::optional<PageRange> pagesToPrint(const PageLayout &layout, int from, int to);
// The pages the printer's range stands for: a page range, else every page.
std::optional<PageRange> pagesToPrint(const PageLayout &layout, const QPrinter &printer);

// Prints the pages on the printer. The job is begun only when a page prints;
// returns the number of pages printed, or -1 when the printer could not be started.
int printPages(QPrinter &printer, const PageLayout &layout, const PageRange &range);

constexpr int PrinterNotStarted = -1;
constexpr int NoRoomForText = -2;
// Prints what the print dialog chose on the printer: the pages of the whole
// document in range; a selection is never printed on its own. The pages are those `layouts` holds for
// the printer as it is now (the dialog may have chosen other paper: then they are
// laid out anew). Returns the pages printed (0: none was to print),
// PrinterNotStarted or NoRoomForText.
int printChosenPages(QPrinter &printer, const QTextEdit &pane, const QMarginsF &marginsInches,
                     PageLayoutCache &layouts);

} // namespace DocumentPrinter
