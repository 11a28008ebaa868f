#pragma once

#include "platform/TextRange.h"

#include <QPointer>

class QTextEdit;

// The range that is the visible selection of a text editor: reading it reads the
// editor's cursor, and moving it or setting its text moves the editor's selection
// (and scrolls the caret into view). Its active end is where the caret is.
class TextSelection : public TextRange
{
public:
    static std::shared_ptr<TextSelection> create(QTextEdit *view);

    QTextEdit *view() const { return m_view; }

protected:
    QTextCursor cursor() const override;
    bool coversFinalMark() const override;
    void store(const QTextCursor &cursor, bool coversFinalMark) override;

private:
    explicit TextSelection(QTextEdit *view);

    QPointer<QTextEdit> m_view;
    // The editor's cursor cannot hold the final mark; the selection covers it while
    // the editor's selection is still the one that was set with it.
    bool m_coversFinalMark = false;
    int m_markedAnchor = -1;
    int m_markedPosition = -1;
};
