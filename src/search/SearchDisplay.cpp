#include "search/SearchDisplay.h"
#include "search/NotesDocument.h"

#include "platform/RichTextBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QProgressBar>
#include <QTextDocument>
#include <climits>

namespace {
// Red once the limit cut the colouring short.
QColor summaryColour(bool limitReached)
{
    return limitReached ? QColor(Qt::red) : QColor(Qt::black);
}
} // namespace

SearchDisplay::SearchDisplay(const Widgets &widgets, NotesDocument &document, std::function<void()> tick)
    : m_widgets(widgets)
    , m_document(document)
    , m_tick(std::move(tick))
{
}

void SearchDisplay::ShowProgress(qint64 maximum)
{
    m_widgets.progress->setRange(0, int(std::min<qint64>(maximum, INT_MAX)));
    m_widgets.progress->setValue(0);
    m_widgets.progress->setVisible(true);
}

void SearchDisplay::SetProgress(qint64 value)
{
    m_widgets.progress->setValue(int(std::min<qint64>(value, m_widgets.progress->maximum())));
}

void SearchDisplay::HideProgress()
{
    m_widgets.progress->setVisible(false);
}

void SearchDisplay::ShowStatus(const QString &text, bool emphasised)
{
    QFont font = m_widgets.status->font();
    font.setBold(emphasised);
    m_widgets.status->setFont(font);
    m_widgets.status->setText(text);
}

QFont SearchDisplay::DocumentFont() const
{
    return m_document.Pane().document()->defaultFont();
}

void SearchDisplay::ShowDocument(QTextDocument *document)
{
    m_document.ShowResult(document, m_widgets.wrapText->isChecked());
}

bool SearchDisplay::WatchesColouring() const
{
    return m_widgets.activeUpdate->isChecked();
}

void SearchDisplay::ShowSummary(const QStringList &lines, bool limitReached)
{
    QComboBox *box = m_widgets.summary;
    box->clear();
    box->addItems(lines);
    QPalette palette = box->palette();
    for (const QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        palette.setColor(role, summaryColour(limitReached));
    box->setPalette(palette);
    if (!lines.isEmpty())
        box->setEditText(QStringLiteral("SEARCH SUMMARY"));
}

void SearchDisplay::LetEventsRun()
{
    m_tick();
    QCoreApplication::processEvents();
}
