#pragma once

#include <QString>

class QComboBox;
class QWidget;

// The editable drop-down lists of the study windows.
namespace StudyLists {
// An editable list that adds nothing typed into it.
QComboBox *EditableList(QWidget *parent);
// Sets the list's text, shown from its start.
void SetListText(QComboBox *list, const QString &text);
} // namespace StudyLists
