#include "search/DocumentFind.h"
#include "search/SearchText.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

int DocumentFind::FindNext(QTextEdit &pane)
{
    if (m_text.isEmpty())
        return -1;
    // Plain text has one character per document position (a paragraph end is one).
    const QString plain = pane.document()->toPlainText();
    const qsizetype found = SearchText::IndexOfFolded(plain, SearchText::Fold(m_text, true),
                                                      std::min<qsizetype>(m_position, plain.size()), true);
    if (found < 0)
        return -1;
    QTextCursor cursor(pane.document());
    cursor.setPosition(int(found));
    cursor.setPosition(int(found + m_text.size()), QTextCursor::KeepAnchor);
    pane.setTextCursor(cursor);
    m_position = int(found + m_text.size());
    return int(found);
}
