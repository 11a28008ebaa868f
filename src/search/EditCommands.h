#pragma once

#include "search/DocumentFind.h"

#include <QObject>

class QAction;
class RichTextBox;

// The Edit menu's work on the workspace's document pane: the clipboard, Undo,
// Delete, Find and Find Next (from where the reader last clicked) and Select All,
// and when each can act: Cut, Copy and Delete with a selection, Paste with
// something on the clipboard that it takes (text, rich text, a picture), Undo with
// something to undo; while a search runs none of them.
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

    // The menu items enabled by what the commands can act on, from now on.
    struct Items
    {
        QAction *cut;
        QAction *copy;
        QAction *paste;
        QAction *undo;
        QAction *deleteItem;
    };
    void Follow(const Items &items);
    // While a search runs every command waits.
    void SetWaiting(bool waiting);
    // Enables the items by what the commands can act on now.
    void UpdateItems();
    // Reads anew what the clipboard holds.
    void CheckClipboard();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FindInDocument();

    RichTextBox *m_pane;
    // Kept apart: while the pane goes, asking it for its viewport is no longer safe.
    QWidget *m_viewport;
    DocumentFind m_find;
    Items m_items{};
    bool m_pasteable = false;
    bool m_waiting = false;
};
