#pragma once

#include <QString>

class QTextEdit;

// Find and Find Next in a document: the text is compared as the search compares
// it (without regard to case, a typed ' or " standing for the typographic
// quotes), from where the last match ended or where the reader last clicked.
class DocumentFind
{
public:
    QString Text() const { return m_text; }
    // A new text begins where the last one left off or the reader last clicked.
    void SetText(const QString &text) { m_text = text; }
    // The next find begins here (0-based); a new document begins at 0.
    void MoveTo(int position) { m_position = position < 0 ? 0 : position; }
    int Position() const { return m_position; }

    // Selects the next match from the position and moves the position past it,
    // so that Find Next moves on; -1 (nothing selected) when there is none.
    int FindNext(QTextEdit &pane);

private:
    QString m_text;
    int m_position = 0;
};
