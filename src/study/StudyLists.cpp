#include "study/StudyLists.h"

#include <QComboBox>
#include <QLabel>
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

void MakeStudyWindow(QWidget *window)
{
    window->setWindowFlag(Qt::Window, true);
    window->setAttribute(Qt::WA_DeleteOnClose, true);
    window->setAttribute(Qt::WA_QuitOnClose, false);
}

void ListRow::Place(QWidget *list, QLabel *label, int width)
{
    list->setGeometry(m_x, ListTop, width, m_listHeight);
    if (label)
        label->setGeometry(m_x, LabelTop, width, LabelHeight);
    m_x += width;
}

} // namespace StudyLists
