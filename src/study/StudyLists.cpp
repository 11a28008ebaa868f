#include "study/StudyLists.h"

#include <QComboBox>
#include <QLineEdit>

namespace StudyLists {

QComboBox *EditableList(QWidget *parent)
{
    auto *list = new QComboBox(parent);
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->setMaxVisibleItems(20);
    return list;
}

void SetListText(QComboBox *list, const QString &text)
{
    list->setEditText(text);
    list->lineEdit()->setCursorPosition(0);
}

} // namespace StudyLists
