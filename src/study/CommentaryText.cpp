#include "study/CommentaryText.h"
#include "core/BibleBookNames.h"
#include "core/GlobalVars.h"
#include "core/Translation.h"
#include "core/VerseReader.h"

namespace {
const QString CRLF = QStringLiteral("\r\n");
// Byte 227 of a 1252 commentary, the same character in a UTF-8 one.
constexpr char16_t LineBreakMark = u'\u00E3';

bool validPassage(int book, int chapter)
{
    return book >= 1 && book <= 66 && chapter >= 1;
}

// Blanks only, as the notes' ends are trimmed; line breaks stay.
QString trimBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && text[from] == QLatin1Char(' '))
        ++from;
    while (to > from && text[to - 1] == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}
} // namespace

namespace CommentaryText {

QString BibleText(const Translation &bible, int book, int chapter, int verse, bool wholeChapter)
{
    QString text;
    if (!validPassage(book, chapter))
        return text;
    const QString abbreviation = BookNames().Abbreviation(qint16(book)).toUpper();
    const QString reference = abbreviation + QLatin1Char(' ') + QString::number(chapter) + QLatin1Char(':');
    VerseReader(bible).ForEachInChapters(book, chapter, book, chapter, [&](const Verse &v) {
        if (v.book != book || v.chapter != chapter)
            return true;
        if (wholeChapter) {
            text +=
                QLatin1Char(' ') + reference + QString::number(v.verse) + QLatin1Char(' ') + v.text + CRLF;
            return true;
        }
        if (v.verse != verse)
            return true;
        text = reference + QString::number(v.verse) + QLatin1Char(' ') + v.text;
        return false;
    });
    return text;
}

QString ChapterNotes(const Translation &commentary, int book, int chapter)
{
    QString notes;
    if (!validPassage(book, chapter))
        return notes;
    VerseReader(commentary).ForEachInChapters(book, chapter, book, chapter, [&](const Verse &v) {
        if (v.book != book || v.chapter != chapter)
            return true;
        QString line = v.text;
        line.replace(QChar(LineBreakMark), CRLF);
        line.replace(QLatin1Char('['), QLatin1Char(' '));
        line.replace(QLatin1Char(']'), QLatin1Char(' '));
        notes += line;
        return true;
    });
    return trimBlanks(notes);
}

QString PaneText(const QString &notes)
{
    return notes.isEmpty() ? QStringLiteral("There is no Commentary for this selection") : notes;
}

} // namespace CommentaryText
