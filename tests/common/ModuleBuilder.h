#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Builds module files for tests: one verse per line, five Tab-separated fields,
// CR LF line ends; and the index lines such a module must give.
class ModuleBuilder
{
public:
    // Adds a chapter with `verses` verses whose texts are "<book>.<chapter>.<verse> <suffix>".
    ModuleBuilder &chapter(int book, int chapter, int verses, const QString &suffix = QString());
    // Adds one verse line with the given text.
    ModuleBuilder &verse(int book, int chapter, int verse, const QString &text);
    // Adds a raw line (line end added).
    ModuleBuilder &raw(const QByteArray &line);

    QByteArray bytes(int codePage = 1252) const;
    // The index lines computed independently of the program's own builder.
    QStringList expectedIndex(int codePage = 1252) const;
    int lineCount() const { return int(m_lines.size()); }

private:
    struct Line
    {
        int book = 0, chapter = 0, verse = 0;
        QString text;
        QByteArray rawBytes; // when set, written as is
    };
    QList<Line> m_lines;
};
