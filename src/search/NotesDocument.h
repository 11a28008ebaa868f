#pragma once

#include "platform/FileStamp.h"

#include <QObject>
#include <QString>
#include <memory>

class QByteArray;
class QTextBlockFormat;
class QTextCharFormat;
class QTextDocument;
class RichTextBox;

// The workspace's document as one thing: the text in the pane, the file that
// Save writes to, whether it changed since it was loaded or saved, and the
// caption that names it. Every way of putting another document into the pane
// goes through here and sets the save target in the same step, so that the text,
// the file and the caption never part: a search result never has a file.
class NotesDocument : public QObject
{
    Q_OBJECT

public:
    explicit NotesDocument(RichTextBox *pane, QObject *parent = nullptr);

    // The line width of a document that does not wrap.
    static constexpr float WrapOffTwips = 128000;

    RichTextBox &Pane() const { return *m_pane; }
    // Changed since it was shown, loaded or saved.
    bool Changed() const;
    // The file that Save writes to; empty for a new document or a search result.
    QString FileName() const { return m_fileName; }
    // Save writes to the file only when it was written or read as RTF: a text
    // file is never overwritten with RTF.
    bool SavesToFile() const { return !m_fileName.isEmpty() && m_rtfFile; }
    QString Caption() const;
    // The pane's back colour and the colour of text without one of its own
    // (0x00BBGGRR), shown at once.
    void SetColours(quint32 back, quint32 text);

    // An empty document without a file (File > New).
    void ShowNew();
    // A file's contents (RTF, else plain text) from File > Open or the bookmark
    // list's Go to; false when the RTF was damaged and only part of it could be
    // shown. Save then goes through Save As: written back, the rest would be lost.
    bool ShowFile(const QString &name, const QByteArray &bytes);
    // A search result, a document of its own that the pane takes over, laid out
    // for the pane's page (wrapped or not), in the workspace's colours. It is
    // unchanged and has no file.
    void ShowResult(QTextDocument *document, bool wrap);
    // The paragraph format of a result shown so: the page layout's indent.
    QTextBlockFormat ResultParagraphFormat(bool wrap) const;
    // An empty document without a file, in the given format, on the workspace's
    // back colour (Integrity Check > All): the notes' file must not be saved
    // over with nothing.
    void Empty(const QTextCharFormat &format);
    // What is typed into a new document is in this font and size (the toolbar's).
    void UseDefaultFont(const QString &family, int pointSize);
    // Lays the whole text out by the page settings, or without wrapping; the
    // reader's selection stays, and so does the changed flag: a layout is no edit.
    void LayOut(bool wrap);

    // The document was written to a file as these bytes: unchanged, and Save
    // writes there now.
    void Saved(const QString &name, const QByteArray &bytes);
    // A copy of the document was written to a file (a bookmark's): unchanged only
    // when that is the document's own file.
    void CopySaved(const QString &name, const QByteArray &bytes);
    // The document was written to a new bookmark's file: that is its file now,
    // named as a bookmark's document shown by Go to, and it is unchanged.
    void SavedAsBookmark(const QString &name, const QByteArray &bytes);
    // A file was renamed (a bookmark's document): Save follows it when it was
    // the document's file.
    void FileRenamed(const QString &from, const QString &to);
    // A file was deleted with its bookmark: when it was the document's file, the
    // text stays as changed notes without a file, and Save asks for a name.
    void FileDeleted(const QString &name);
    // Whether the document's file was written by someone else since it was
    // opened or saved here.
    bool FileChangedOnDisk() const;

    // Plain text as the workspace reads it: UTF-8 with a byte order mark or when
    // the bytes are valid UTF-8, Windows-1252 otherwise.
    static QString DecodePlainText(const QByteArray &bytes);

signals:
    void captionChanged(const QString &caption);
    // Another document took the pane's place (a find begins at its top).
    void replaced();

private:
    enum class Naming { Product, Untitled, FileAndProduct, File };

    bool LoadRtf(const QByteArray &bytes);
    void LoadPlainText(const QByteArray &bytes);
    std::unique_ptr<QTextDocument> OffScreenDocument() const;
    void TakeDocument(QTextDocument *document);
    void TakeShownPage(QTextDocument *document) const;
    void LayOutResult(QTextDocument *document, bool wrap) const;
    void SetTarget(const QString &fileName, bool rtfFile, Naming naming, const FileStamp &stamp);

    RichTextBox *m_pane;
    QString m_fileName;
    FileStamp m_stamp;
    bool m_rtfFile = false;
    Naming m_naming = Naming::Product;
};
