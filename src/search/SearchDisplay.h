#pragma once

#include "search/SearchView.h"

#include <functional>

class NotesDocument;
class QAction;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QProgressBar;

// The workspace window's widgets as a search run shows on them: the progress
// bar, the status field, the summary box, and the document pane through the
// NotesDocument (a result laid out for the page when Wrap Text is on).
class SearchDisplay : public SearchView
{
public:
    struct Widgets
    {
        QProgressBar *progress;
        QLineEdit *status;
        QComboBox *summary;
        QCheckBox *activeUpdate;
        QAction *wrapText;
    };

    // tick: the window's timer work (the clock, the turning Search button),
    // done whenever events run.
    SearchDisplay(const Widgets &widgets, NotesDocument &document, std::function<void()> tick);

    void ShowProgress(qint64 maximum) override;
    void SetProgress(qint64 value) override;
    void HideProgress() override;
    void ShowStatus(const QString &text, bool emphasised) override;
    QFont DocumentFont() const override;
    void ShowDocument(QTextDocument *document) override;
    bool WatchesColouring() const override;
    void ShowSummary(const QStringList &lines, bool limitReached) override;
    void LetEventsRun() override;

private:
    Widgets m_widgets;
    NotesDocument &m_document;
    std::function<void()> m_tick;
};
