#pragma once

#include "search/SearchHistory.h"

#include <QObject>

class QComboBox;
class QPushButton;

// The search box's list of the texts searched before, kept in the SearchHistory,
// and the button that clears it after asking.
class SearchHistoryBox : public QObject
{
    Q_OBJECT

public:
    SearchHistoryBox(QComboBox *box, QPushButton *clear, QObject *parent);

    // The history read from the settings, listed, with "*" in the edit field.
    void PopulateHistoryCombo();
    // The text in the edit field joins the history unless it is listed already.
    void SaveComboHistory();
    // Asks, then forgets every text.
    void cmdClear_Click();

private:
    void ShowHistory(const QString &text);

    QComboBox *m_box;
    SearchHistory m_history;
};
