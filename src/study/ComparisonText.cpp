#include "study/ComparisonText.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/ProgressLog.h"
#include "core/Translation.h"
#include "core/TranslationHelpers.h"
#include "core/VerseReader.h"

#include <QLocale>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// A line of its own in a Bible's block, after its name or its verses: in chapter
// mode each line begins with a line break, in verse mode the verse's line ends
// with one, and so does this line.
void appendLine(QString &text, const QString &line, bool wholeChapter)
{
    if (wholeChapter || !text.endsWith(CRLF))
        text += CRLF;
    text += line;
    if (!wholeChapter)
        text += CRLF;
}
} // namespace

namespace ComparisonText {

ComparisonResult Build(const std::vector<ComparisonBible> &bibles, int book, int chapter, int verse,
                       bool wholeChapter)
{
    ComparisonResult result;
    const QString reference = BookNames().Abbreviation(qint16(book)).toUpper() + QLatin1Char(' ') +
                              QString::number(chapter) + QLatin1Char(':') + QString::number(verse) +
                              QLatin1Char(' ');
    const QString chapterText = QString::number(chapter);
    QString separator;
    for (const ComparisonBible &bible : bibles) {
        result.text += separator + bible.displayName;
        separator = CRLF + CRLF;
        // A typed chapter 0 or a book outside the Bible shows no passage.
        if (!bible.translation || chapter < 1 || book < 1 || book > 66)
            continue;
        const Translation &translation = *bible.translation;
        // A module file cut short says where its text ends, as the reading pane
        // does: a book after the cut has the line that it has no text for it.
        if (translation.CutShortBefore(book)) {
            appendLine(result.text, translation.EndsBeforeLine(), wholeChapter);
            continue;
        }
        // Taken by book and chapter: a Bible without this chapter gives nothing.
        VerseReader(translation).ForEachInChapters(book, chapter, book, chapter, [&](const Verse &v) {
            if (v.book != book || v.chapter != chapter)
                return true;
            ++result.verseCount;
            if (wholeChapter) {
                // Appended piece by piece: a chain of + would build each line twice.
                result.text.append(CRLF);
                result.text.append(chapterText);
                result.text.append(QLatin1Char(':'));
                result.text.append(QString::number(v.verse));
                result.text.append(QLatin1Char(' '));
                result.text.append(v.text);
            } else if (v.verse == verse) {
                ++result.bibleCount;
                result.text += CRLF + reference + v.text + CRLF;
            }
            return true;
        });
        // The passage takes in the verse the file was cut in, or lies after it.
        if (translation.StopsWithin(book, chapter, wholeChapter ? 0 : verse))
            appendLine(result.text, translation.StopsHereLine(), wholeChapter);
    }
    return result;
}

std::vector<ComparisonBible> TakingPart()
{
    std::vector<ComparisonBible> bibles;
    for (qint32 i = 0; i < gBibles.Count(); ++i) {
        // An index that could not be stored is held by the opened module instead.
        if (!gBibles.Enabled(i) ||
            !(TranslationHelpers::IndexFileExists(i, Translation::BibleKind) ||
              (TranslationHelpers::IsTranslationLoaded(i) && GetTranslation(i)->HasIndex())))
            continue;
        bibles.push_back({gBibles.DisplayName(i), GetTranslation(i)});
    }
    return bibles;
}

void LoadFlaggedIndexes(const std::function<void(const QString &)> &status)
{
    ProgressLog &log = ProgressMessages();
    // The count is read anew each time: events run while the log is written.
    for (qint32 i = 0; i < gBibles.Count(); ++i) {
        if (status)
            status(QStringLiteral("%1 of %2 %3").arg(i + 1).arg(gBibles.Count()).arg(gBibles.DisplayName(i)));
        if (gBibles.Enabled(i)) {
            const bool report = TranslationHelpers::IndexFileExists(i, Translation::BibleKind) &&
                                !TranslationHelpers::IsTranslationLoaded(i);
            if (report)
                log.MsgAddMessage(QStringLiteral("Loading index for ") + gBibles.DisplayName(i) +
                                      QStringLiteral("..."),
                                  true, true);
            if (i < gBibles.Count())
                GetTranslation(i);
            if (report)
                log.MsgAddMessage(CRLF + QStringLiteral("  Done."), true, true);
        }
        if (log.Cancelled())
            return;
    }
}

QString GroupedNumber(qint64 value)
{
    if (value == 0)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);
    return locale.toString(value);
}

} // namespace ComparisonText
