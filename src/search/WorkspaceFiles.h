#pragma once

#include <QObject>
#include <QString>

class QByteArray;
class RichTextBox;

// The workspace document's files: New, Open, Save, Save As and the question asked
// before unsaved notes are replaced or closed. The document is the text of the
// rich text box; its changed state is the document's isModified(). Every save goes
// through a temporary file and a rename, so a failed save leaves the old file whole.
//
// The commands report their own errors under the window's trace names; each
// returns whether it did what it was asked, so that a caller can stop when the
// user cancelled or a save failed.
class WorkspaceFiles : public QObject
{
    Q_OBJECT

public:
    explicit WorkspaceFiles(RichTextBox *rt, QObject *parent = nullptr);

    // Answers of AskToSave, as the window's unload takes them.
    static constexpr int Saved = 2;
    static constexpr int Discard = 0;
    static constexpr int Cancelled = -1;

    // An empty document with no file name, after the question when there are
    // unsaved changes. False when the user kept the old document.
    bool New();
    // Asks for an RTF or text file and shows it; false when nothing was opened.
    bool Open();
    // Saves as RTF to the document's file; asks for a name when it has none or
    // came from a plain-text file. False when cancelled or failed.
    bool Save();
    // Asks for a file name and saves the document there as RTF.
    bool SaveAs();
    // The question about unsaved changes: Yes saves (Saved, or Cancelled when the
    // save was cancelled or failed), No gives Discard, Cancel gives Cancelled.
    int AskToSave();
    // True when the document may be replaced: no unsaved changes, or the user
    // saved them or chose to discard them.
    bool MayReplaceDocument();
    // A search put a new document into the box: it has no file any more.
    void DocumentReplaced();

    // The document's file; empty for a document never saved or replaced since.
    QString FileName() const { return m_fileName; }
    // Makes an RTF file that was loaded into the pane by someone else (a bookmark's
    // document) the file that Save writes to.
    void SetFileName(const QString &name);
    QString Caption() const { return m_caption; }

    // Plain text as the workspace reads it: UTF-8 with a byte order mark or when
    // the bytes are valid UTF-8, Windows-1252 otherwise.
    static QString DecodePlainText(const QByteArray &bytes);

signals:
    void captionChanged(const QString &caption);

private:
    bool OpenFile(const QString &name);
    bool LoadRtf(const QString &name, const QByteArray &bytes);
    void LoadPlainText(const QByteArray &bytes);
    bool WriteFile(const QString &name);
    QString AskSaveName();
    void SetCaption(const QString &caption);

    RichTextBox *m_rt;
    QString m_fileName;
    // Save writes to m_fileName only when it was written or read as RTF: a text
    // file is never overwritten with RTF.
    bool m_rtfFile = false;
    QString m_caption;
};
