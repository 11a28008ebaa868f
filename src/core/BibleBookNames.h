#pragma once

#include <QString>
#include <array>

// The abbreviation and full name of the 72 book numbers, from "Books.txt" in the
// SysDefs folder. Books 1-66 are the books of the Bible.
class BibleBookNames
{
public:
    static constexpr int BookCount = 72;

    // Loads the names; a failure is reported and ends the program (see ReloadBookNames).
    BibleBookNames();

    // Throws RuntimeError 9 for a book outside 1..72.
    QString Abbreviation(qint16 book) const;
    QString FullName(qint16 book) const;
    // Reads "Books.txt" again. A file that cannot be read is reported, the
    // settings are recovered and the program ends.
    void ReloadBookNames();

private:
    void CheckBook(qint16 book, const char *member) const;
    std::array<qint16, BookCount> m_numbers{};
    std::array<QString, BookCount> m_abbreviations;
    std::array<QString, BookCount> m_fullNames;
};
