#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <functional>

// The abbreviation and full name of the 72 book numbers, from "Books.txt" in the
// SysDefs folder. Books 1-66 are the books of the Bible.
class BibleBookNames
{
public:
    static constexpr int BookCount = 72;

    // Loads the names (see ReloadBookNames).
    BibleBookNames();

    // Throws RuntimeError 9 for a book outside 1..72.
    QString Abbreviation(qint16 book) const;
    QString FullName(qint16 book) const;
    // Reads "Books.txt" again. A file that cannot be read whole is the file's
    // fault: the reader is told which file and what is wrong, and offered the
    // reference names (RestoreFromReference). Declined or failed, the program
    // goes on with the lines that could be read; a book whose line could not be
    // read is named by its number. The settings are never touched.
    void ReloadBookNames();
    // Copies the reference names "ref.txt" over the active names "Books.txt" of
    // the SysDefs folder. False after telling the reader which file could not be
    // read or written, and why.
    static bool RestoreFromReference();
    // Runs a read or write of a book-name file. A failure is the file's fault,
    // not the program's: the reader is told which file and why, or which folder
    // when the installed program's folder cannot be written; false then.
    static bool FileStep(const QString &path, bool writing, const std::function<void()> &body);

private:
    void CheckBook(qint16 book, const char *member) const;
    // Reads the file into the tables; the problems found, empty when it was read whole.
    QStringList ReadNames(const QString &path);
    // Stores the names of one line; what is wrong with it, empty when nothing.
    QString ReadLine(const QString &path, int book, const QString &line);
    void NameByNumber(int book);
    bool OfferRepair(const QString &path, const QStringList &problems) const;
    std::array<qint16, BookCount> m_numbers{};
    std::array<QString, BookCount> m_abbreviations;
    std::array<QString, BookCount> m_fullNames;
};
