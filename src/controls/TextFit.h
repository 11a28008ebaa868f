#pragma once

#include <QString>

class QComboBox;
class QLabel;

// Names shown whole: the widths that lists and labels need for their texts, and
// labels of a fixed width that cut a name short visibly, keeping it whole in
// their tool tip.
namespace TextFit {
// The width a list needs to show its longest entry whole, its frame and arrow included.
int ListWidth(const QComboBox *list);
// Lets the list's drop-down open as wide as its longest entry, however narrow the
// list itself: for lists of texts of any length, which take only their share of
// a window. Called again whenever the entries change.
void OpenWholeEntries(QComboBox *list);
// Shows `text` in the label: whole when it fits the label's width, otherwise cut
// short with "…" and whole in the label's tool tip.
void ShowInLabel(QLabel *label, const QString &text);
} // namespace TextFit
