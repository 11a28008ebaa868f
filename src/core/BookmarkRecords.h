#pragma once

#include <QByteArray>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

// One bookmark: a saved workspace document and what describes it.
struct BookmarkRecord
{
    QString title;
    QString category;
    QString dateAdded;
    QString reference;
    QString fileName; // inside the program folder's "Bookmarks/"

    // The fields in file order: 0 title, 1 category, 2 date, 3 reference, 4 file name.
    QString field(int index) const;
    bool operator==(const BookmarkRecord &other) const = default;
};

// The rows of the bookmark list, read once per run from "Bookmarks.txt" by
// whichever window loads first (the main window or the workspace); the bookmark
// list window shows and edits them and writes the file back after each change.
class BookmarkRecords
{
public:
    static BookmarkRecords &Instance();

    const QList<BookmarkRecord> &Rows() const { return m_rows; }
    int Count() const { return int(m_rows.size()); }
    void Append(const BookmarkRecord &record);
    void Replace(int row, const BookmarkRecord &record);
    void Remove(int row);
    // Orders the rows by one field (see BookmarkRecord::field), comparing texts
    // without regard to case; rows with equal texts keep their order.
    void Sort(int field, bool descending);
    // Forgets the rows and everything the reading found.
    void Clear();

    // Does nothing once the file was read (whole or in part) or the rows were
    // changed. Otherwise reads the records of five quoted fields from the program
    // folder's "Bookmarks.txt" in file order; gBookmarksLoaded is set when the
    // file was read whole. A missing file leaves the list empty without a
    // message. Records that are malformed or name a document that is not a plain
    // file name are left out; the original file is then copied to
    // "Bookmarks.txt.bad" and the reader is told once which records were lost.
    static void LoadBookmarks();

    // Writes every row to "Bookmarks.txt" through a temporary file and a rename.
    // A damaged original is copied to "Bookmarks.txt.bad" first; when that copy
    // cannot be made the file is not replaced. Raises RuntimeError on failure.
    void Save();

    static QString RecordFile();
    static QString DamagedCopyFile();
    // The folder of the documents, ending with "/".
    static QString DocumentFolder();
    // A name without "/", "\", "..", NUL or a double quote (which the list file
    // cannot keep), and not empty or ".".
    static bool IsPlainFileName(const QString &name);
    // The path of a document in the folder; raises RuntimeError 52 when the name
    // is not a plain file name, so that no command reaches outside the folder.
    static QString DocumentPath(const QString &fileName);
    // The letters and digits of a title in any script, with "_" and single dots
    // (no dot first or last), or "bookmark" when there are none, followed by
    // ".rtf"; at most 200 bytes before ".rtf".
    static QString FileNameFromTitle(const QString &title);
    // `wanted`, or the same name with "_2", "_3", ... before ".rtf", so that no
    // row but `ownRow` names it and no other file in the folder has it (case
    // ignored): a new name never overwrites another bookmark's document. The
    // names are checked against a set built once: the rows' names and the
    // folder's files at the first call, and the names of rows added since.
    QString UniqueFileName(const QString &wanted, int ownRow = -1) const;
    // The first row whose whole title equals `title` without regard to case; -1 when none.
    int FindTitle(const QString &title) const;
    // Whether another row than `row` names the same document (case ignored).
    bool DocumentShared(int row) const;

private:
    void Changed() { m_changed = true; }
    void NameTaken(const QString &fileName);
    const QSet<QString> &TakenNames() const;
    void ReadRecords(const QByteArray &bytes, QStringList *problems);
    void KeepDamagedOriginal();
    static void TellDamage(const QStringList &problems);

    QList<BookmarkRecord> m_rows;
    bool m_readDone = false; // the file was read, whole or in part
    bool m_changed = false;  // the rows were changed since the reading
    // A damaged original still to be copied before the file is replaced;
    // m_original holds its bytes unless it could not be read at all.
    bool m_damaged = false;
    bool m_originalRead = false;
    QByteArray m_original;
    // Document names in use, case folded; read at the first need.
    mutable QSet<QString> m_taken;
    mutable bool m_takenRead = false;
};
