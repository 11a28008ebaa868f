#include "platform/TextSelection.h"

#include <QTextDocument>
#include <QTextEdit>

std::shared_ptr<TextSelection> TextSelection::create(QTextEdit *view)
{
    return std::shared_ptr<TextSelection>(new TextSelection(view));
}

TextSelection::TextSelection(QTextEdit *view)
    : TextRange(QTextCursor())
    , m_view(view)
{
}

QTextCursor TextSelection::cursor() const
{
    return m_view ? m_view->textCursor() : QTextCursor();
}

bool TextSelection::coversFinalMark() const
{
    if (!m_coversFinalMark || !m_view)
        return false;
    const QTextCursor c = m_view->textCursor();
    return c.anchor() == m_markedAnchor && c.position() == m_markedPosition &&
           c.selectionEnd() == c.document()->characterCount() - 1;
}

void TextSelection::store(const QTextCursor &cursor, bool coversFinalMark)
{
    if (!m_view)
        return;
    m_view->setTextCursor(cursor);
    m_coversFinalMark = coversFinalMark;
    m_markedAnchor = cursor.anchor();
    m_markedPosition = cursor.position();
}
