#include "search/EditCommands.h"

#include "core/Bug_.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"

#include <QAction>
#include <QClipboard>
#include <QEvent>
#include <QGuiApplication>
#include <QMimeData>
#include <QTextCursor>
#include <QTextDocument>

namespace {
constexpr int MsgNotFound = 50;
} // namespace

EditCommands::EditCommands(RichTextBox *pane, QObject *parent)
    : QObject(parent)
    , m_pane(pane)
    , m_viewport(pane->viewport())
{
    m_viewport->installEventFilter(this);
    connect(m_pane, &QTextEdit::copyAvailable, this, [this] { UpdateItems(); });
    connect(m_pane, &QTextEdit::undoAvailable, this, [this] { UpdateItems(); });
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
        TrapErrors(QStringLiteral("AdvancedSearch.CheckClipboard()"), [this] { CheckClipboard(); });
    });
}

bool EditCommands::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_viewport && event->type() == QEvent::MouseButtonRelease) {
        TrapErrors(QStringLiteral("AdvancedSearch.RT_Click()"),
                   [this] { m_find.MoveTo(m_pane->SelStart()); });
        TrapErrors(QStringLiteral("AdvancedSearch.RT_MouseUp()"), [this] { UpdateItems(); });
    }
    return QObject::eventFilter(watched, event);
}

void EditCommands::FocusPane()
{
    if (m_pane->isVisible() && m_pane->isEnabled())
        m_pane->setFocus();
}

void EditCommands::Cut()
{
    FocusPane();
    m_pane->cut();
    UpdateItems();
    m_pane->document()->setModified(true);
}

void EditCommands::Copy()
{
    FocusPane();
    m_pane->copy();
}

void EditCommands::Paste()
{
    FocusPane();
    m_pane->paste();
    UpdateItems();
    m_pane->document()->setModified(true);
}

void EditCommands::Undo()
{
    FocusPane();
    m_pane->undo();
}

void EditCommands::Delete()
{
    FocusPane();
    UpdateItems();
    QTextCursor cursor = m_pane->textCursor();
    cursor.deleteChar();
    m_pane->setTextCursor(cursor);
}

void EditCommands::Find()
{
    const std::optional<QString> answer =
        desktop().inputBox(QStringLiteral("Enter Text to find"),
                           MiscHelpers::ProductTitle() + QStringLiteral(" Search"), QString());
    if (!answer || answer->isEmpty())
        return;
    m_find.SetText(*answer);
    FindInDocument();
}

void EditCommands::FindNext()
{
    FindInDocument();
}

void EditCommands::FindInDocument()
{
    if (m_find.FindNext(*m_pane) < 0) {
        desktop().messageBox(GetMsg(0, MsgNotFound), MsgBoxStyle::Information, QString());
        return;
    }
    FocusPane();
    m_pane->ensureCursorVisible();
}

void EditCommands::SelectAll()
{
    m_pane->selectAll();
    FocusPane();
    UpdateItems();
}

void EditCommands::Follow(const Items &items)
{
    m_items = items;
    UpdateItems();
}

void EditCommands::SetWaiting(bool waiting)
{
    m_waiting = waiting;
    UpdateItems();
}

void EditCommands::UpdateItems()
{
    if (!m_items.cut)
        return;
    const bool selected = m_pane->textCursor().hasSelection();
    for (QAction *item : {m_items.cut, m_items.copy, m_items.deleteItem})
        item->setEnabled(!m_waiting && selected);
    m_items.paste->setEnabled(!m_waiting && m_pasteable);
    m_items.undo->setEnabled(!m_waiting && m_pane->document()->isUndoAvailable());
}

void EditCommands::CheckClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    m_pasteable =
        data && (data->hasText() || data->hasImage() || data->hasFormat(QStringLiteral("text/rtf")) ||
                 data->hasFormat(QStringLiteral("application/rtf")));
    UpdateItems();
}
