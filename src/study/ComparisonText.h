#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Translation;

// One Bible taking part in a comparison: its display name and its opened module.
struct ComparisonBible
{
    QString displayName;
    std::shared_ptr<const Translation> translation;
};

// The comparison text and its counters: in chapter mode the verses shown, in
// verse mode the Bibles that had the verse.
struct ComparisonResult
{
    QString text;
    qint64 verseCount = 0;
    qint64 bibleCount = 0;
};

// The text of the translation comparison: one block per Bible, its name line
// followed by the verse (verse mode) or the chapter (chapter mode). A Bible that
// lacks the passage shows its name line only; one whose module file was cut
// short says so where its text ends, and for a book after the cut.
namespace ComparisonText {
ComparisonResult Build(const std::vector<ComparisonBible> &bibles, int book, int chapter, int verse,
                       bool wholeChapter);
// The Bibles that take part, in list order: enabled and with an index file, or
// opened with an index held in memory (one that could not be stored).
// Their modules are opened (without progress messages) when not yet in use.
std::vector<ComparisonBible> TakingPart();
// Loads the enabled Bibles not yet in use, reporting to the progress log, whose
// Cancel stops the pass between two Bibles; the status callback gets "i of n name".
// Pending events run while the log is written.
void LoadFlaggedIndexes(const std::function<void(const QString &)> &status);
// A count with thousands separators and nothing at all for 0.
QString GroupedNumber(qint64 value);
} // namespace ComparisonText
