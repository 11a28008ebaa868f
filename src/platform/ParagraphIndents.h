#pragma once

#include <QtGlobal>

class QTextBlock;
class QTextDocument;

// The page's left margin and the paragraphs' own indents. Every paragraph stands
// at least at the page's margin; what it has beyond it is its own (an indent the
// reader gave it), and a list item's marker hangs in room of its own left of its
// text. Laying a page out moves the margin and keeps the rest, so that bullets
// stay drawn and indents stay as the reader made them.
namespace ParagraphIndents {
// The room a list item's marker takes left of its text, in twips.
constexpr float MarkerRoomTwips = 360;

// The room (pixels) left of a list item's text that its marker needs from the
// paragraph's margin; 0 for a paragraph in no list.
qreal markerRoom(const QTextBlock &block);
// The left margin (pixels) that every paragraph of the document has, its list
// marker's room not counted: the page's margin as the paragraphs stand now.
qreal sharedMargin(const QTextDocument &document);
// Moves every paragraph so that the margin they share becomes `pixels`; each keeps
// its own indent beyond it, and every list item gets the room of its marker.
void setSharedMargin(QTextDocument &document, qreal pixels);
} // namespace ParagraphIndents
