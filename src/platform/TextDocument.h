#pragma once

#include "platform/Tom.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTextCursor>
#include <memory>

class QTextDocument;
class QTextEdit;
class TextRange;
class TextSelection;

// The Text Object Model document: ranges, the selection, files and freezing, over
// the QTextDocument of an editor (or a document without a view).
//
// The story's positions and paragraph marks are described with TextRange. Failures
// raise RuntimeError. Callers that get the document as a QObject (the helper
// library hands it on that way) qobject_cast it back.
class TextDocument : public QObject
{
    Q_OBJECT

public:
    // The document an editor shows; it belongs to the editor.
    explicit TextDocument(QTextEdit *view);
    // A document without a view, hence without a selection.
    explicit TextDocument(QTextDocument *document, QObject *parent = nullptr);
    ~TextDocument() override;

    QTextDocument *document() const;
    QTextEdit *view() const { return m_view; }

    // The range from start to end, clamped to the story (reversed ends are swapped).
    std::shared_ptr<TextRange> Range(int start, int end) const;
    // The editor's selection, the same object every time; null without a view.
    std::shared_ptr<TextSelection> Selection() const;
    int StoryLength() const;
    // The file last opened or saved.
    QString Name() const { return m_name; }

    // Replaces the story with a file. flags: a format (tomRTF, tomText; none: RTF when
    // the file starts like RTF, else text) and a creation mode (none or
    // tomOpenExisting: the file must exist; tomOpenAlways: a missing file gives an
    // empty story; tomCreateNew, tomCreateAlways, tomTruncateExisting: an empty story).
    // Plain text is read in codePage (0: the ANSI code page); a UTF-8 byte order mark
    // means UTF-8.
    void Open(const QString &path, int flags = 0, int codePage = 0);
    // Writes the story (without its final mark) to path, or to Name() when path is
    // empty, atomically. flags: tomRTF, tomText (lines end in CR LF, text in
    // codePage), none: the format it was opened in; tomCreateNew fails on an
    // existing file.
    void Save(const QString &path = QString(), int flags = 0, int codePage = 0);

    // Counted: while frozen the view does not repaint and the document lays itself out
    // once at the end, so a long text can be built by many appends cheaply.
    // Both return the new count.
    int Freeze();
    int Unfreeze();
    int freezeCount() const { return m_freezeCount; }

    // Keeps a document frozen for a scope.
    class FreezeGuard
    {
    public:
        explicit FreezeGuard(TextDocument *document)
            : m_document(document)
        {
            if (m_document)
                m_document->Freeze();
        }
        ~FreezeGuard()
        {
            if (m_document)
                m_document->Unfreeze();
        }
        FreezeGuard(const FreezeGuard &) = delete;
        FreezeGuard &operator=(const FreezeGuard &) = delete;

    private:
        QPointer<TextDocument> m_document;
    };

private:
    QTextDocument *requireDocument() const;
    void replaceStory(const QTextDocument *rich, const QString &plain);

    QPointer<QTextEdit> m_view;
    QPointer<QTextDocument> m_document;
    mutable std::shared_ptr<TextSelection> m_selection;
    QString m_name;
    int m_format = Tom::tomRTF;
    int m_freezeCount = 0;
    QTextCursor m_freezeCursor;
};
