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
#include <QTextObjectInterface>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace {
QList<QTextOption::Tab> scaledTabs(QList<QTextOption::Tab> tabs, qreal factor)
{
    for (QTextOption::Tab &tab : tabs)
        tab.position *= factor;
    return tabs;
}

// Where a paragraph's lines are measured from, in the document.
QPointF originOf(const QTextBlock &block)
{
    return block.document()->documentLayout()->blockBoundingRect(block).topLeft();
}

// Where a paragraph ends, in the document: its box, or its lines where they
// reach lower.
qreal bottomOf(const QTextBlock &block)
{
    const QRectF box = block.document()->documentLayout()->blockBoundingRect(block);
    return std::max(box.bottom(), box.top() + block.layout()->boundingRect().bottom());
}

qreal tallestLine(const QTextLayout &lines)
{
    qreal tallest = 0;
    for (int i = 0; i < lines.lineCount(); ++i)
        tallest = std::max(tallest, lines.lineAt(i).height());
    return tallest;
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
    fitPicturesToPage();
    findTallLines();
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

// A picture taller than a page would be cut at the foot of the page it begins
// on, as the line it stands in cannot move whole to the next page. Such a
// picture is made as tall as a page leaves room for, keeping its shape.
void PageLayout::fitPicturesToPage()
{
    QTextDocument &doc = *m_document;
    const QList<QTextFormat> formats = doc.allFormats();
    if (std::none_of(formats.begin(), formats.end(), [](const QTextFormat &f) { return f.isImageFormat(); }))
        return;
    QAbstractTextDocumentLayout *layout = doc.documentLayout();
    QTextObjectInterface *pictures = layout->handlerForObject(QTextFormat::ImageObject);
    if (!pictures)
        return;
    struct Picture
    {
        int position = 0;
        int length = 0;
        QTextImageFormat format;
        QSizeF size;      // device pixels
        qreal height = 0; // device pixels it may take
    };
    QList<Picture> tooTall;
    layout->documentSize(); // lays the document out
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const qreal tallest = tallestLine(*block.layout());
        if (tallest <= m_body.height())
            continue;
        QList<Picture> inBlock;
        qreal highest = 0;
        for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            if (!fragment.charFormat().isImageFormat())
                continue;
            Picture picture;
            picture.position = fragment.position();
            picture.length = fragment.length();
            picture.format = fragment.charFormat().toImageFormat();
            picture.size = pictures->intrinsicSize(&doc, picture.position, picture.format);
            highest = std::max(highest, picture.size.height());
            inBlock.append(picture);
        }
        // What the line needs beside its picture (the depth of the text below
        // the baseline) stays; the picture gives up the rest.
        const qreal room = m_body.height() - (tallest - highest);
        for (Picture &picture : inBlock) {
            if (room < 1 || picture.size.height() <= room)
                continue;
            picture.height = room;
            tooTall.append(picture);
        }
    }
    QTextCursor cursor(&doc);
    for (Picture &picture : tooTall) {
        // The format's lengths are the screen's; the layout scales them to the device.
        QTextImageFormat probe = picture.format;
        probe.setWidth(1000);
        probe.setHeight(1000);
        const qreal perLength = pictures->intrinsicSize(&doc, picture.position, probe).height() / 1000;
        if (perLength <= 0)
            continue;
        const qreal height = std::floor(picture.height / perLength);
        picture.format.setHeight(height);
        picture.format.setWidth(
            std::max<qreal>(1, std::round(height * picture.size.width() / picture.size.height())));
        cursor.setPosition(picture.position);
        cursor.setPosition(picture.position + picture.length, QTextCursor::KeepAnchor);
        cursor.setCharFormat(picture.format);
    }
}

// Lines of type taller than a page cannot fit whole anywhere. They are few, and
// noted once where they show on another page than the one they begin on.
void PageLayout::findTallLines()
{
    QAbstractTextDocumentLayout *layout = m_document->documentLayout();
    layout->documentSize(); // lays the document out
    for (QTextBlock block = m_document->begin(); block.isValid(); block = block.next()) {
        const QTextLayout *lines = block.layout();
        if (tallestLine(*lines) <= m_body.height())
            continue;
        const qreal origin = originOf(block).y();
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            const qreal top = origin + line.y();
            if (pageOfLine(top, line) != pageAt(top))
                m_tallLineTops.append(top);
        }
    }
}

int PageLayout::pageAt(qreal y) const
{
    // Half a pixel above a page's top edge still counts as that page: the layout
    // places a line moved to a page's top there, give or take its rounding.
    return std::max(0, int(std::ceil((y + 0.5) / m_body.height())) - 1);
}

int PageLayout::pageOfLine(qreal top, const QTextLine &line) const
{
    const int first = pageAt(top);
    if (line.height() <= m_body.height())
        return first;
    // A line taller than a page shows on the page that holds most of it.
    const qreal bottom = top + line.height();
    int best = first;
    qreal most = 0;
    for (int page = first; page <= pageAt(bottom); ++page) {
        const qreal shown =
            std::min(bottom, (page + 1) * m_body.height()) - std::max(top, page * m_body.height());
        if (shown > most) {
            most = shown;
            best = page;
        }
    }
    return best;
}

QTextBlock PageLayout::paragraphGoingOnInto(int page) const
{
    const qreal pageTop = page * m_body.height();
    // The paragraphs stand one below the other: the last one that begins above
    // the page is found by halving.
    int low = 0;
    int high = m_document->blockCount() - 1;
    QTextBlock found;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const QTextBlock block = m_document->findBlockByNumber(middle);
        if (pageAt(originOf(block).y()) < page) {
            found = block;
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    if (!found.isValid() || found.layout()->lineCount() == 0)
        return QTextBlock();
    // Its first line may have been moved down to this page; then it begins here.
    if (pageAt(originOf(found).y() + found.layout()->lineAt(0).y()) >= page)
        return QTextBlock();
    return bottomOf(found) > pageTop + 0.5 ? found : QTextBlock();
}

int PageLayout::pageCount() const
{
    return m_document ? std::max(1, m_document->pageCount()) : 0;
}

void PageLayout::drawPage(QPainter &painter, int page) const
{
    if (!m_document || page < 1 || page > pageCount())
        return;
    const int index = page - 1;
    const qreal pageTop = index * m_body.height();
    const QRectF clip(0, pageTop, m_body.width(), m_body.height());
    painter.save();
    painter.translate(m_body.left(), m_body.top() - pageTop);
    painter.setClipRect(clip, Qt::IntersectClip);
    painter.setPen(Qt::black);
    // The layout draws every line that touches its clip, and the line above
    // those in a paragraph it draws: hidden by the painter's clip, they would
    // still be in a PDF's text. Half a pixel inside the page's edges, the lines
    // of the neighbouring pages do not touch it.
    QRectF drawn = clip.adjusted(0, 0.5, 0, -0.5);
    // A paragraph begun on an earlier page: its lines of this page are drawn
    // one by one, and the layout draws from below it.
    if (const QTextBlock block = paragraphGoingOnInto(index); block.isValid()) {
        const QTextLayout *lines = block.layout();
        const QPointF origin = originOf(block);
        for (int i = 0; i < lines->lineCount(); ++i) {
            const QTextLine line = lines->lineAt(i);
            if (pageOfLine(origin.y() + line.y(), line) == index)
                line.draw(&painter, origin);
        }
        drawn.setTop(std::max(drawn.top(), bottomOf(block) + 1.0 / 64));
    }
    // A line taller than the page that shows on a later page ends what the
    // layout draws here.
    const auto tall = std::upper_bound(m_tallLineTops.begin(), m_tallLineTops.end(), pageTop - 0.5);
    if (tall != m_tallLineTops.end() && pageAt(*tall) == index)
        drawn.setBottom(std::min(drawn.bottom(), *tall - 0.5));
    if (drawn.height() > 0) {
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = drawn;
        context.palette.setColor(QPalette::Text, Qt::black);
        m_document->documentLayout()->draw(&painter, context);
    }
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
            if (pageOfLine(box.top() + line.y(), line) >= page - 1)
                return block.position() + line.textStart();
        }
    }
    return m_length;
}
