#include "core/BookRenderer.h"

#include "core/BibleBookNames.h"
#include "core/CharMapper.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "core/Translation.h"
#include "core/VerseReader.h"

namespace {
const QString CRLF = QStringLiteral("\r\n");
const QString QuoteSet = QStringLiteral("\u201C\u201D\u2018\u2019");
constexpr int PsalmsBook = 19;

// Text for an RTF body: backslash and braces escaped, a paragraph break as \par,
// characters outside ASCII as \uN with a "?" for readers that do not know it.
QString rtfEscaped(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        if (u == u'\\' || u == u'{' || u == u'}') {
            out += QLatin1Char('\\');
            out += QChar(u);
        } else if (u == u'\r' && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n')) {
            out += QStringLiteral("\\par ");
            ++i;
        } else if (u == u'\r' || u == u'\n') {
            continue;
        } else if (u < 0x80) {
            out += QChar(u);
        } else {
            out += QStringLiteral("\\u%1?").arg(qint16(u));
        }
    }
    return out;
}

// The RTF of a style of the formatted view; plain text has none.
QString rtfCode(const QString &style)
{
    if (style == BookRenderer::ChapterStyle)
        return QStringLiteral("\\b\\fs40");
    if (style == BookRenderer::VerseNumberStyle)
        return QStringLiteral("\\super");
    return QString();
}

// The runs of one verse as one line of RTF. A styled run is a group; the
// paragraph break that ends a heading closes the group first.
QString rtfLine(const std::vector<StyledRun> &runs)
{
    QString line;
    bool afterControlWord = false;
    for (const StyledRun &run : runs) {
        const QString code = rtfCode(run.style);
        QString piece;
        bool breakAfter = false;
        if (code.isEmpty()) {
            piece = rtfEscaped(run.text);
        } else {
            QString body = run.text;
            breakAfter = body.endsWith(CRLF);
            if (breakAfter)
                body.chop(CRLF.size());
            piece = QLatin1Char('{') + code + QLatin1Char(' ') + rtfEscaped(body) + QLatin1Char('}') +
                    (breakAfter ? QStringLiteral("\\par") : QString());
        }
        if (piece.isEmpty())
            continue;
        // Text right after a control word needs a blank to end the word.
        if (afterControlWord && piece[0] != QLatin1Char('{') && piece[0] != QLatin1Char('\\'))
            line += QLatin1Char(' ');
        line += piece;
        afterControlWord = breakAfter;
    }
    return line;
}
} // namespace

const QString BookRenderer::NormalStyle = QStringLiteral("normal");
const QString BookRenderer::ChapterStyle = QStringLiteral("Chapter");
const QString BookRenderer::VerseNumberStyle = QStringLiteral("VerseNumber");

BookRenderer::BookRenderer(const Translation &translation)
    : m_translation(translation)
    , m_headingWord(GetMsg(0, 107))
{
}

QString BookRenderer::MappedText(const Verse &verse) const
{
    QString text = verse.text;
    if (m_translation.Mapper)
        m_translation.Mapper->AlterString(text);
    return text;
}

QString BookRenderer::ReferenceLine(const Verse &verse, const QString &text)
{
    return BookNames().Abbreviation(qint16(verse.book)) + QLatin1Char(' ') + QString::number(verse.chapter) +
           QLatin1Char(':') + QString::number(verse.verse) + QLatin1Char(' ') + text;
}

void BookRenderer::FormattedRuns(const Verse &verse, const QString &text, Place &last,
                                 std::vector<StyledRun> &runs) const
{
    const QString number = QString::number(verse.verse);
    if (verse.book == last.book && verse.chapter == last.chapter) {
        runs.push_back({number, VerseNumberStyle});
        runs.push_back({text, NormalStyle});
        return;
    }
    // A new chapter: its number stands in for verse 1, with the book's name above
    // it in chapter 1; a psalm gets a heading line and keeps its verse number.
    last = {verse.book, verse.chapter};
    const QString chapter = QString::number(verse.chapter);
    if (verse.book == PsalmsBook) {
        runs.push_back({m_headingWord + QLatin1Char(' ') + chapter + CRLF, ChapterStyle});
        runs.push_back({number, VerseNumberStyle});
    } else if (verse.chapter == 1) {
        runs.push_back({BookNames().FullName(qint16(verse.book)) + CRLF + QStringLiteral("1"), ChapterStyle});
        runs.push_back({QStringLiteral(" "), NormalStyle});
    } else {
        runs.push_back({chapter, ChapterStyle});
        runs.push_back({QStringLiteral(" "), NormalStyle});
    }
    runs.push_back({text, NormalStyle});
}

void BookRenderer::IntoPane(ReadingPane &pane, int book, bool fancyFormatting, bool smartQuotes,
                            bool smartDash) const
{
    std::vector<StyledRun> runs;
    Place last;
    VerseReader(m_translation).ForEachInBooks(book, book, [&](const Verse &verse) {
        // Each verse is a paragraph of its own.
        QString text = MappedText(verse) + CRLF;
        if (!fancyFormatting) {
            runs.push_back({ReferenceLine(verse, text), QString()});
            return true;
        }
        if (smartQuotes)
            pane.SmartQuotes(text, QuoteSet);
        if (smartDash)
            pane.FixSpacesAndDashes(text);
        FormattedRuns(verse, text, last, runs);
        return true;
    });
    // The book a file cut short stops in says so after its last, cut, verse.
    if (m_translation.StopsWithin(book))
        runs.push_back({m_translation.StopsHereLine() + CRLF, fancyFormatting ? NormalStyle : QString()});
    pane.AppendRuns(runs);
}

QStringList BookRenderer::ReferenceLines(int book) const
{
    QStringList lines;
    VerseReader(m_translation).ForEachInBooks(book, book, [&](const Verse &verse) {
        lines.append(ReferenceLine(verse, MappedText(verse)));
        return true;
    });
    if (m_translation.StopsWithin(book))
        lines.append(m_translation.StopsHereLine());
    return lines;
}

QStringList BookRenderer::RtfLines(int book) const
{
    QStringList lines{QStringLiteral("{\\rtf1\\ansi")};
    Place last;
    std::vector<StyledRun> runs;
    VerseReader(m_translation).ForEachInBooks(book, book, [&](const Verse &verse) {
        runs.clear();
        FormattedRuns(verse, MappedText(verse) + CRLF, last, runs);
        lines.append(rtfLine(runs));
        return true;
    });
    if (m_translation.StopsWithin(book))
        lines.append(rtfLine({{m_translation.StopsHereLine() + CRLF, NormalStyle}}));
    lines.append(QStringLiteral("}"));
    return lines;
}
