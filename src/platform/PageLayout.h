#pragma once

#include <QImage>
#include <QList>
#include <QMarginsF>
#include <QRectF>
#include <QSize>
#include <memory>

class QPainter;
class QPaintDevice;
class QPrinter;
class QTextBlock;
class QTextDocument;
class QTextLine;

// A rich-text document laid out in pages for one printer. Counting the pages,
// the print preview and printing all draw from the same layout, made with the
// printer's resolution, so the preview shows exactly the page breaks that print.
//
// Lengths are the printer's device pixels. The page is the printable area; the
// margins (inches) are measured from its edges. The indent that every paragraph
// of the document shares is the pane's own page indent on the screen; the left
// margin takes its place on paper instead of being added to it.
class PageLayout
{
public:
    // Lays the document out for a device with the given printable area (device
    // pixels). The device only lends its resolution and must outlive the layout.
    PageLayout(const QTextDocument &document, QPaintDevice &device, const QSizeF &printableArea,
               const QMarginsF &marginsInches);
    // The same for the printer's printable area as it is set now.
    PageLayout(const QTextDocument &document, QPrinter &printer, const QMarginsF &marginsInches);
    ~PageLayout();
    PageLayout(const PageLayout &) = delete;
    PageLayout &operator=(const PageLayout &) = delete;

    // False when the margins leave no room for text (a body width or height of
    // 0 or less); such a layout has no pages.
    bool isValid() const { return m_document != nullptr; }
    // At least 1 when valid: an empty document has one empty page.
    int pageCount() const;
    // Whether the document holds no character at all.
    bool isEmpty() const { return m_empty; }

    QSizeF printableArea() const { return m_printableArea; }
    // Where the text goes on every page, inside the printable area.
    QRectF bodyRect() const { return m_body; }
    // The device's resolution the layout was made with (dots per inch).
    double resolution() const { return m_dpiX; }

    // Draws a page (from 1) with the painter's origin at the printable area's
    // top left corner, in device pixels. Nothing is drawn outside the body, and
    // only the lines of the page are drawn at all: those that begin on it (the
    // layout moves a line that does not fit whole to the next page, and makes
    // pictures no taller than a page). A line of type taller than a page is
    // drawn once, on the page that shows most of it.
    void drawPage(QPainter &painter, int page) const;
    // The page on a white picture of the given size (the printable area scaled
    // to it); a null image when the picture cannot be made.
    QImage pageImage(int page, const QSize &size) const;
    // The position of the first character of a page (from 1); the document's
    // length past the last page.
    int pageStart(int page) const;

private:
    void prepareDocument();
    void fitPicturesToPage();
    void findTallLines();
    // The page (from 0) that a point of the document lies on.
    int pageAt(qreal y) const;
    // The page (from 0) a line is drawn on, from its top in the document.
    int pageOfLine(qreal top, const QTextLine &line) const;
    // The last paragraph that begins on an earlier page than `page` (from 0)
    // and goes on into it; an invalid block when there is none.
    QTextBlock paragraphGoingOnInto(int page) const;

    std::unique_ptr<QTextDocument> m_document;
    QSizeF m_printableArea;
    QRectF m_body;
    double m_dpiX = 0;
    bool m_empty = true;
    int m_length = 0;
    // The tops of the lines taller than a page that show on a later page than
    // the one they begin on, top to bottom.
    QList<qreal> m_tallLineTops;
};
