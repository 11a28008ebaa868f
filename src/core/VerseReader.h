#pragma once

#include <QString>
#include <functional>
#include <vector>

class RawLineVisitor;
class Translation;

// One verse of a module as its line gives it.
struct Verse
{
    qint32 line = 0; // the line's own number (first field)
    qint32 book = 0;
    qint32 chapter = 0;
    qint32 verse = 0;
    QString text; // everything after the fourth Tab, decoded by the module's code page
};

// Reads the verses of one module by its chapter index: a book, a chapter, a
// range of chapters or books, or the whole file. Lines are decoded once, by the
// module's code page; a malformed line is skipped (and reported once, with its
// file and line number), the rest stays readable. Every window that reads verses
// (the browser, the search, the comparison, the commentaries) reads them here.
class VerseReader
{
public:
    // Called for each verse in module order; returning false stops the reading.
    using Visitor = std::function<bool(const Verse &)>;

    explicit VerseReader(const Translation &translation);

    // The verses of the chapters from (book1, chapter1) to (book2, chapter2),
    // taken by book and chapter: a chapter or book the module lacks gives
    // nothing. Chapter 0 stands for the book's first (chapter1) or last
    // (chapter2) chapter. Returns false when the visitor stopped the reading.
    bool ForEachInChapters(int book1, int chapter1, int book2, int chapter2, const Visitor &visit) const;
    bool ForEachInBooks(int book1, int book2, const Visitor &visit) const;
    // Every line of the module file, whatever the index says.
    bool ForEachInModule(const Visitor &visit) const;
    // The same lines undecoded, for a reader that looks at their bytes first.
    bool ForEachLineInModule(RawLineVisitor &visitor) const;

    std::vector<Verse> Book(int book) const;
    std::vector<Verse> Chapter(int book, int chapter) const;
    std::vector<Verse> Books(int book1, int book2) const;

private:
    const Translation &m_translation;
};
