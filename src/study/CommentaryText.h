#pragma once

#include <QString>

class Translation;

// The two texts of the commentaries window: the chosen passage of a Bible and the
// commentary on its chapter.
namespace CommentaryText {
// One verse: "GEN 1:1 text" with no line break, or nothing when the chapter lacks
// the verse. Whole chapter: " GEN 1:1 text" and CR LF for every verse.
QString BibleText(const Translation &bible, int book, int chapter, int verse, bool wholeChapter);
// The commentary's text of the chapter: its lines joined, the line-break mark
// (character 227) made a line break, square brackets made blanks, blanks at both
// ends removed. Empty when the commentary has nothing for the chapter.
QString ChapterNotes(const Translation &commentary, int book, int chapter);
// What the lower pane shows for ChapterNotes.
QString PaneText(const QString &notes);
} // namespace CommentaryText
