#include "platform/PageLayout.h"
#include "platform/ParagraphIndents.h"
#include "platform/Twips.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace {
QList<QTextOption::Tab> scaledTabs(QList<QTextOption::Tab> tabs, qreal factor)
{
    for (QTextOption::Tab &tab : tabs)
        tab.position *= factor;
    return tabs;
}
} // namespace

PageLayout::PageLayout(const QTextDocument &document, QPaintDevice &device, const QSizeF &printableArea,
                       const QMarginsF &marginsInches)
    : m_printableArea(printableArea)
    , m_dpiX(device.logicalDpiX())
{
    const double dpiY = device.logicalDpiY();
    const QPointF topLeft(std::nearbyint(marginsInches.left() * m_dpiX),
                          std::nearbyint(marginsInches.top() * dpiY));
    const QPointF bottomRight(std::nearbyint(printableArea.width() - marginsInches.right() * m_dpiX),
                              std::nearbyint(printableArea.height() - marginsInches.bottom() * dpiY));
    m_body = QRectF(topLeft, bottomRight);
    m_length = document.characterCount() - 1;
    m_empty = m_length <= 0;
    // Margins that leave no room would make every page take nothing.
    if (m_body.width() <= 0 || m_body.height() <= 0)
        return;

    m_document.reset(document.clone());
    prepareDocument();
    m_document->documentLayout()->setPaintDevice(&device);
    m_document->setPageSize(m_body.size());
}

PageLayout::PageLayout(const QTextDocument &document, QPrinter &printer, const QMarginsF &marginsInches)
    : PageLayout(document, printer, printer.pageRect(QPrinter::DevicePixel).size(), marginsInches)
{
}

PageLayout::~PageLayout() = default;

// The document's lengths are pixels of the screen. The layout scales the vertical
// ones to its device itself, the horizontal ones are scaled here; the margin all
// paragraphs share is dropped, as the left margin stands for it on paper (list
// items keep the room of their markers).
void PageLayout::prepareDocument()
{
    QTextDocument &doc = *m_document;
    doc.setUndoRedoEnabled(false);
    doc.setDocumentMargin(0);
    const qreal factor = m_dpiX / (Twips::PerInch / Twips::perPixelX());
    const qreal shared = ParagraphIndents::sharedMargin(doc);

    QTextOption option = doc.defaultTextOption();
    option.setTabStopDistance(option.tabStopDistance() * factor);
    option.setTabs(scaledTabs(option.tabs(), factor));
    doc.setDefaultTextOption(option);

    QTextCursor cursor(&doc);
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        QTextBlockFormat format = block.blockFormat();
        if (format.leftMargin() == 0 && format.rightMargin() == 0 && format.textIndent() == 0 &&
            format.tabPositions().isEmpty())
            continue;
        format.setLeftMargin(std::max<qreal>(0, format.leftMargin() - shared) * factor);
        format.setRightMargin(format.rightMargin() * factor);
        format.setTextIndent(format.textIndent() * factor);
        QList<QTextOption::Tab> tabs;
        for (const QTextOption::Tab &tab : format.tabPositions())
            tabs.append(QTextOption::Tab(tab.position * factor, tab.type, tab.delimiter));
        format.setTabPositions(tabs);
        cursor.setPosition(block.position());
        cursor.setBlockFormat(format);
    }
}

int PageLayout::pageCount() const
{
    return m_document ? std::max(1, m_document->pageCount()) : 0;
}

void PageLayout::drawPage(QPainter &painter, int page) const
{
    if (!m_document || page < 1 || page > pageCount())
        return;
    const qreal pageTop = (page - 1) * m_body.height();
    const QRectF clip(0, pageTop, m_body.width(), m_body.height());
    painter.save();
    painter.translate(m_body.left(), m_body.top() - pageTop);
    painter.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    // The layout draws every line that touches its clip, also the neighbouring
    // pages' lines that end or start on the page's edges: hidden by the painter's
    // clip, they would still be in a PDF's text. Half a pixel inside the edges,
    // only the lines of this page touch it.
    context.clip = clip.adjusted(0, 0.5, 0, -0.5);
    context.palette.setColor(QPalette::Text, Qt::black);
    m_document->documentLayout()->draw(&painter, context);
    painter.restore();
}

QImage PageLayout::pageImage(int page, const QSize &size) const
{
    if (size.isEmpty())
        return QImage();
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(Qt::white);
    if (m_printableArea.width() <= 0 || m_printableArea.height() <= 0)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(size.width() / m_printableArea.width(), size.height() / m_printableArea.height());
    drawPage(painter, page);
    return image;
}

int PageLayout::pageStart(int page) const
{
    if (!m_document || page <= 1)
        return 0;
    if (page > pageCount())
        return m_length;
    const qreal pageTop = (page - 1) * m_body.height();
    QAbstractTextDocumentLayout *layout = m_document->documentLayout();
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const QRectF box = layout->blockBoundingRect(block);
        if (box.bottom() <= pageTop)
            continue;
        const QTextLayout *lines = block.layout();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (box.top() + line.y() >= pageTop - 0.5)
                return block.position() + line.textStart();
        }
    }
    return m_length;
}
