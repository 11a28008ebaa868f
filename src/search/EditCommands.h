#pragma once

#include "search/DocumentFind.h"

#include <QObject>

class RichTextBox;

// The Edit menu's work on the workspace's document pane: the clipboard, Undo,
// Delete, Find and Find Next and Select All, and whether the clipboard holds
// something that Paste takes.
class EditCommands : public QObject
{
    Q_OBJECT

public:
    explicit EditCommands(RichTextBox *pane, QObject *parent = nullptr);

    void Cut();
    void Copy();
    void Paste();
    void Undo();
    void Delete();
    // Asks for a text and selects its next match; an empty answer finds nothing.
    void Find();
    // The next match of the text last asked for.
    void FindNext();
    bool HasFindText() const { return !m_find.Text().isEmpty(); }
    // The next find begins here (where the reader clicked; 0 for a new document).
    void MoveFindTo(int position) { m_find.MoveTo(position); }
    void SelectAll();
    void FocusPane();

    // Paste is offered for text, rich text and pictures; read anew when the
    // clipboard changes.
    bool CanPaste() const { return m_pasteable; }
    void CheckClipboard();

signals:
    // What Cut, Copy, Delete, Paste and Undo can act on may have changed.
    void availabilityChanged();

private:
    void FindInDocument();

    RichTextBox *m_pane;
    DocumentFind m_find;
    bool m_pasteable = false;
};
