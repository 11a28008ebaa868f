#pragma once

#include <QImage>
#include <QString>

class QPrinter;

// Reading printed PDF files back with poppler's command-line tools, and a PDF
// printer set up the same way for every test.
namespace PdfTools {
// The page count pdfinfo reports; -1 when the file cannot be read.
int pageCount(const QString &pdf);
// The text of one page (from 1), as pdftotext lays it out.
QString pageText(const QString &pdf, int page);
// The first line of a page's text that is not blank.
QString firstLine(const QString &pdf, int page);
// One page rendered in grey at the given resolution.
QImage pageImage(const QString &pdf, int page, int dpi);
// The first or last column or row holding a dark pixel; -1 when there is none.
int firstDarkColumn(const QImage &image);
int firstDarkRow(const QImage &image);
int lastDarkRow(const QImage &image);
// A US Letter PDF printer without margins of its own, writing to the file.
void setUpPdfPrinter(QPrinter &printer, const QString &pdf);
} // namespace PdfTools
