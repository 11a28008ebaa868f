#pragma once

#include <QString>
#include <array>

// One category of books: its ID, its parent's ID, its names and its set of books.
class BookCategories_Entry
{
public:
    static constexpr int BookCount = 66;

    qint32 CategoryID = 0;
    qint32 ParentCategoryID = 0;
    QString ShortName;
    QString LongName;

    // Whether the book (1..66) belongs to the category; other numbers fail an assertion.
    bool IncludeBook(int ibook) const;
    // Parses one line of the categories file: ID, parent, book ranges.
    void Initialize(const QString &path, const QString &line);

private:
    void ParseRanges(const QString &ranges, const QString &path, const QString &line);
    bool CheckRange(qint32 first, qint32 last, const QString &ranges, const QString &path,
                    const QString &line);
    static QString RangeErrorText(const QString &path, const QString &line, const QString &range);

    std::array<bool, BookCount> m_books{};
};
