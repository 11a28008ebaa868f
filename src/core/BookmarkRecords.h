#pragma once

#include <QList>
#include <QString>

// One bookmark: a saved workspace document and what describes it.
struct BookmarkRecord
{
    QString title;
    QString category;
    QString dateAdded;
    QString reference;
    QString fileName; // inside the program folder's "Bookmarks/"
};

// The rows of the bookmark list, read once per run from "Bookmarks.txt" by
// whichever window loads first (the main window or the workspace); the bookmark
// list window shows and edits them and writes the file back.
class BookmarkRecords
{
public:
    static BookmarkRecords &Instance();

    const QList<BookmarkRecord> &Rows() const { return m_rows; }
    void Append(const BookmarkRecord &record) { m_rows.append(record); }
    void Clear() { m_rows.clear(); }

    // Does nothing once the file was read whole (gBookmarksLoaded). Otherwise
    // reads the records of five quoted fields from the program folder's
    // "Bookmarks.txt" in file order and sets the flag. A missing or unreadable
    // file, or a malformed record, ends the reading without a message: the rows
    // read so far stay and the flag stays clear.
    static void LoadBookmarks();

private:
    QList<BookmarkRecord> m_rows;
};
