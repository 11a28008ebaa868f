#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

class NotesDocument;

// The workspace document's files: New, Open, Save, Save As and the question asked
// before unsaved notes are replaced or closed. The document, its file and its
// changed state are the NotesDocument's. Every save goes through the checked
// atomic writer, so a failed save leaves the old file whole and says why; a file
// that someone else wrote since it was opened is not saved over without asking.
//
// The commands report their own errors under the window's trace names; each
// returns whether it did what it was asked, so that a caller can stop when the
// user cancelled or a save failed.
class WorkspaceFiles
{
public:
    explicit WorkspaceFiles(NotesDocument &document);

    // Answers of AskToSave, as the window's unload takes them.
    static constexpr int Saved = 2;
    static constexpr int Discard = 0;
    static constexpr int Cancelled = -1;

    // An empty document with no file name, after the question when there are
    // unsaved changes. False when the user kept the old document.
    bool New();
    // Asks for an RTF or text file and shows it; false when nothing was opened.
    bool Open();
    // Shows the named file, after the question about unsaved changes.
    bool OpenNamed(const QString &name);
    // Saves as RTF to the document's file; asks for a name when it has none or
    // came from a plain-text file. False when cancelled or failed.
    bool Save();
    // Asks for a file name and saves the document there as RTF.
    bool SaveAs();
    // Writes the document as RTF to another file (a bookmark's) without making it
    // the document's file; false after saying why it could not be written.
    bool SaveCopy(const QString &name);
    // Writes the document as RTF to a new file (a new bookmark's), under the
    // first name TextFiles::writeNew finds free, and makes it the document's
    // file, named as Go to names a bookmark's. The path; empty after saying
    // why it could not be written.
    QString SaveNew(const std::function<QString(int)> &names,
                    const std::function<bool(const QString &)> &taken);
    // Shows a file's document read as these bytes (File > Open, a bookmark's Go
    // to), and says so when it is damaged.
    void ShowRead(const QString &path, const QByteArray &bytes);
    // The question about unsaved changes: Yes saves (Saved, or Cancelled when the
    // save was cancelled or failed), No gives Discard, Cancel gives Cancelled.
    int AskToSave();
    // True when the document may be replaced: no unsaved changes, or the user
    // saved them or chose to discard them.
    bool MayReplaceDocument();

private:
    bool OpenFile(const QString &name);
    bool WriteFile(const QString &name);
    bool SaveOverChangedFile();
    using Written = void (NotesDocument::*)(const QString &name, const QByteArray &bytes);
    bool WriteDocument(const QString &name, Written written);
    QString AskSaveName();
    QString Folder() const;

    NotesDocument &m_document;
};
