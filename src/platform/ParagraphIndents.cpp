#include "platform/ParagraphIndents.h"
#include "platform/Twips.h"

#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <limits>

namespace {
// How far the paragraph's text stands right of the page's margin, its marker's
// room not counted; below 0 when a marker has less room than it needs.
qreal ownIndent(const QTextBlock &block, qreal shared)
{
    return block.blockFormat().leftMargin() - ParagraphIndents::markerRoom(block) - shared;
}
} // namespace

namespace ParagraphIndents {

qreal markerRoom(const QTextBlock &block)
{
    const QTextList *list = block.textList();
    if (!list)
        return 0;
    // A list indented by levels brings room of its own.
    const qreal levels = list->format().indent() * block.document()->indentWidth();
    return std::max<qreal>(0, MarkerRoomTwips / Twips::perPixelX() - levels);
}

qreal sharedMargin(const QTextDocument &document)
{
    qreal least = std::numeric_limits<qreal>::max();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        least = std::min(least, ownIndent(block, 0));
    return least == std::numeric_limits<qreal>::max() ? 0 : std::max<qreal>(0, least);
}

void setSharedMargin(QTextDocument &document, qreal pixels)
{
    const qreal target = std::max<qreal>(0, pixels);
    const qreal shared = sharedMargin(document);
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const qreal margin = target + markerRoom(block) + std::max<qreal>(0, ownIndent(block, shared));
        if (qFuzzyCompare(block.blockFormat().leftMargin() + 1, margin + 1))
            continue;
        QTextBlockFormat format;
        format.setLeftMargin(margin);
        cursor.setPosition(block.position());
        cursor.mergeBlockFormat(format);
    }
    cursor.endEditBlock();
}

} // namespace ParagraphIndents
