#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Splits the bytes of a module file (or of a range of whole lines of one) into
// its lines: each ends with CR LF (the last may end with the file), its first
// four Tab-separated fields are numbers and the rest of the line is the text,
// which may hold further Tabs. The index builder and the verse reader both read
// lines here, so they agree on which lines are verses.
class ModuleLines
{
public:
    enum Problem {
        WellFormed,
        LineFeedAlone, // the line ends with LF without CR before it
        TooFewFields,  // fewer than four fields
        NotANumber,    // one of the four number fields is not a decimal number
        OutOfRange,    // a number no chapter index can hold: a book outside 1-72, or below 0
    };

    static constexpr int MaxBook = 72;

    struct Line
    {
        qsizetype start = 0; // 0-based offset of the line in the bytes
        qsizetype size = 0;  // its length without the line end
        Problem problem = WellFormed;
        int fieldCount = 0;     // fields found (at most 5)
        int badField = 0;       // 1-4: the field that is not a number or out of range
        QByteArrayView badText; // that field's bytes
        qint32 number = 0;      // field 1: the line's own number
        qint32 book = 0;
        qint32 chapter = 0;
        qint32 verse = 0;
        // The bytes after the fourth Tab, line end excluded; empty for a line of
        // four fields, which has no text field.
        const char *text = nullptr;
        qsizetype textSize = 0;
    };

    // The text of a line points into the bytes: it stays valid while the object lives.
    explicit ModuleLines(QByteArray bytes);

    bool atEnd() const { return m_pos >= m_bytes.size(); }
    Line next();
    // The 0-based offset where the next line starts (the size at the end).
    qsizetype position() const { return m_pos; }
    // Passes over the lines that end before the offset (at or after position()),
    // so that the next line is the one that holds it.
    void skipToLineOf(qsizetype offset);

    // Why a line is malformed, for a message: "has only 3 fields".
    static QString describe(const Line &line);
    // The text of a well-formed line in a code page (0 is 1252, 65001 UTF-8).
    static QString decodeText(const Line &line, int codePage);
    // The most characters that text decodes to, and the text written to out,
    // which has room for them; returns the characters written.
    static qsizetype maxTextLength(const Line &line, int codePage);
    static qsizetype writeText(const Line &line, int codePage, QChar *out);

private:
    QByteArray m_bytes;
    qsizetype m_pos = 0;
};
