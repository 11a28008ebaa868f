#include "search/EditCommands.h"

#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/RichTextBox.h"

#include <QClipboard>
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
{
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
    emit availabilityChanged();
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
    emit availabilityChanged();
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
    emit availabilityChanged();
    QTextCursor cursor = m_pane->textCursor();
    cursor.deleteChar();
    m_pane->setTextCursor(cursor);
}

void EditCommands::Find()
{
    const std::optional<QString> answer = desktop().inputBox(
        QStringLiteral("Enter Text to find"), MiscHelpers::ProductTitle() + QStringLiteral(" Search"), QString());
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
    emit availabilityChanged();
}

void EditCommands::CheckClipboard()
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    m_pasteable =
        data && (data->hasText() || data->hasImage() || data->hasFormat(QStringLiteral("text/rtf")) ||
                 data->hasFormat(QStringLiteral("application/rtf")));
    emit availabilityChanged();
}
