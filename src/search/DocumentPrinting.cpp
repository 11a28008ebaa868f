#include "search/DocumentPrinting.h"

#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/DocumentPrinter.h"
#include "platform/PageLayout.h"
#include "platform/PageLayoutCache.h"
#include "platform/RichTextBox.h"

#include <QPrinter>
#include <QTextCursor>

namespace {
constexpr int MsgNoRoomForText = 148;
constexpr int MsgPrinterNotStarted = 149;

// The print margins in inches from the page settings; with fit to window the
// side margins are 0.
QMarginsF printMargins()
{
    const float factor = gCM_IN ? 1.0f : 1.0f / 25.4f;
    QMarginsF margins(gMarginLeft * factor, gTopMargin * factor, gMarginRight * factor,
                      gBottomMargin * factor);
    if (gFitToDesktop) {
        margins.setLeft(0);
        margins.setRight(0);
    }
    return margins;
}

void reportFailure(int printed, const QPrinter &printer)
{
    if (printed == DocumentPrinter::NoRoomForText) {
        desktop().messageBox(GetMsg(0, MsgNoRoomForText), MsgBoxStyle::Exclamation, QString());
    } else if (printed == DocumentPrinter::PrinterNotStarted) {
        const QString name =
            printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        desktop().messageBox(GetMsg(0, MsgPrinterNotStarted, name), MsgBoxStyle::Exclamation, QString());
    }
}
} // namespace

namespace DocumentPrinting {

void Print(RichTextBox &pane)
{
    QPrinter &printer = DocumentPrinter::printer();
    PrintDialogOptions options;
    options.title = QStringLiteral("Print");
    PageLayoutCache layouts;
    {
        const WaitCursor wait;
        options.pageCount = layouts.layout(*pane.document(), printer, printMargins())->pageCount();
    }
    if (!desktop().printDialog(printer, options))
        return;
    int printed = 0;
    {
        const WaitCursor wait;
        printed = DocumentPrinter::printChosenPages(printer, pane, printMargins(), layouts);
    }
    reportFailure(printed, printer);
}

void PrintSetup()
{
    PrintDialogOptions options;
    options.title = QStringLiteral("Print Setup");
    desktop().printDialog(DocumentPrinter::printer(), options);
}

} // namespace DocumentPrinting
