#include "search/SearchHistoryBox.h"

#include "core/Bug_.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"

#include <QComboBox>
#include <QPushButton>

namespace {
constexpr int MsgClearHistory = 43;
}

SearchHistoryBox::SearchHistoryBox(QComboBox *box, QPushButton *clear, QObject *parent)
    : QObject(parent)
    , m_box(box)
{
    connect(clear, &QPushButton::clicked, this, [this] { cmdClear_Click(); });
}

void SearchHistoryBox::PopulateHistoryCombo()
{
    m_history.Load();
    ShowHistory(QStringLiteral("*"));
}

void SearchHistoryBox::SaveComboHistory()
{
    const QString text = m_box->currentText();
    if (m_history.Add(text))
        ShowHistory(text);
}

// The search box lists the history, the given text in its edit field.
void SearchHistoryBox::ShowHistory(const QString &text)
{
    m_box->clear();
    m_box->addItems(m_history.Entries());
    m_box->setEditText(text);
}

void SearchHistoryBox::cmdClear_Click()
{
    TrapErrors(QStringLiteral("AdvancedSearch.cmdClear_Click()"), [this] {
        const int style = MsgBoxStyle::YesNo | MsgBoxStyle::Question | MsgBoxStyle::DefaultButton2;
        if (desktop().messageBox(GetMsg(0, MsgClearHistory), style, QStringLiteral("Confirm Delete")) !=
            MsgBoxResult::Yes)
            return;
        m_history.Clear();
        ShowHistory(QStringLiteral("*"));
    });
}
