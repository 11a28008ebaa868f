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
size_t qHash(const BookmarkRecord &record, size_t seed = 0);

// The rows of the bookmark list, read once per run from "Bookmarks.txt" by
// whichever window loads first (the main window or the workspace); the bookmark
// list window shows and edits them and writes the file back after each change.
// Another writer of the file (a copy of the program on other settings, sharing
// the program folder) may have changed it meanwhile: what it added or removed
// is taken in when the file is written, so that neither loses the other's work.
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
    // changed. Otherwise reads the list, as Read() does; gBookmarksLoaded is set
    // when the file was read whole.
    static void LoadBookmarks();
    // Reads the records of five quoted fields from the program folder's
    // "Bookmarks.txt" in file order, in place of the rows; true when the file
    // was read whole. A missing file leaves the list empty without a message.
    // Records that are malformed or name a document that is not a plain file
    // name are left out; the original file is then kept in a copy of its own
    // (TextFiles::keepCopy) and the reader is told once which records were lost
    // and where the copy is.
    bool Read();

    // Writes every row to "Bookmarks.txt" through a temporary file and a rename.
    // When another writer changed the file since this list read or wrote it,
    // the rows it added are kept (after this list's own) and the rows it removed
    // go, unless this list changed them; rows this list removed stay removed. A
    // row the file no longer holds whole while it has lines that cannot be read
    // may be one of them, damaged: it stays. The rows then become what was
    // written, and the result says whether that took in another writer's
    // changes; `removedElsewhere` gets the rows that went because the other
    // writer removed them. A damaged original is kept in a copy of its own
    // first; when that copy cannot be made the file is not replaced. While it
    // saves, the list holds "Bookmarks.txt.lock", waiting for another writer's
    // save to end. Raises RuntimeError on failure; the rows are then as they were.
    bool Save(QList<BookmarkRecord> *removedElsewhere = nullptr);
    // No save holds the lock longer: a lock older than this was left behind by
    // a writer that ended during its save, on this machine or another, and is
    // given up.
    static constexpr int LongestSaveMs = 10000;

    static QString RecordFile();
    // The copy a damaged record file was last kept in; empty when none.
    QString DamagedCopy() const { return m_damagedCopy; }
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
    // `wanted` for number 1, else the same name with "_<number>" before ".rtf".
    static QString NumberedName(const QString &wanted, int number);
    // The document names in use, case folded: those the rows name and those of
    // the files in the folder as it is now (a file no row names may still be
    // the document of a record that was left out of a damaged list, or one
    // that another writer has just made).
    QSet<QString> NamesInUse() const;
    // The first NumberedName of `wanted` that no row but `ownRow` names and no
    // other file in the folder has (case ignored): a new name never overwrites
    // another bookmark's document.
    QString UniqueFileName(const QString &wanted, int ownRow = -1) const;
    // The first row whose whole title equals `title` without regard to case; -1 when none.
    int FindTitle(const QString &title) const;
    // Whether another row than `row` names the same document (case ignored).
    bool DocumentShared(int row) const;
    // The first row that names the document (case ignored); -1 when none.
    int FindDocument(const QString &fileName) const;

private:
    void Changed() { m_changed = true; }
    static QList<BookmarkRecord> ParseRecords(const QByteArray &bytes, QStringList *problems);
    void KeepDamagedOriginal();
    // The rows with what another writer changed in the file since m_base; a
    // damaged file is kept in a copy first, and what is wrong goes to `problems`;
    // the rows that go because the other writer removed them go to `removed`.
    QList<BookmarkRecord> MergedWith(const QByteArray &current, QStringList *problems,
                                     QList<BookmarkRecord> *removed);
    // The lines of the file that do not read as one whole record.
    static QStringList DamagedLines(const QByteArray &bytes);
    void KeepDamagedRows(const QStringList &damagedLines, const QList<qsizetype> &gone,
                         QList<bool> *kept) const;
    static QByteArray FileBytes(const QList<BookmarkRecord> &rows);
    static void TellDamage(const QStringList &problems, const QString &copy, const QString &whyNoCopy);

    QList<BookmarkRecord> m_rows;
    bool m_readDone = false; // the file was read, whole or in part
    bool m_changed = false;  // the rows were changed since the reading
    // A damaged original still to be copied before the file is replaced;
    // m_original holds its bytes unless it could not be read at all.
    bool m_damaged = false;
    bool m_originalRead = false;
    QByteArray m_original;
    QString m_damagedCopy;
    // The file as this list last read or wrote it, and its rows: what another
    // writer changed since is told by the difference.
    QByteArray m_baseBytes;
    QList<BookmarkRecord> m_base;
};
