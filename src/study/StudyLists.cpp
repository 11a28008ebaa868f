#include "study/StudyLists.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <numeric>

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

QList<int> ShareWidths(int available, const QList<double> &shares, const QList<int> &needs)
{
    const qsizetype count = std::min(shares.size(), needs.size());
    QList<bool> atNeed(count, false);
    QList<int> widths(count, 0);
    for (bool settled = false; !settled;) {
        settled = true;
        int left = available;
        double shareLeft = 0;
        for (qsizetype i = 0; i < count; ++i) {
            if (atNeed[i])
                left -= needs[i];
            else
                shareLeft += shares[i];
        }
        for (qsizetype i = 0; i < count; ++i) {
            if (atNeed[i])
                continue;
            widths[i] = shareLeft > 0 ? int(std::max(0, left) * shares[i] / shareLeft) : 0;
            if (widths[i] < needs[i]) {
                atNeed[i] = true;
                settled = false;
            }
        }
    }
    for (qsizetype i = 0; i < count; ++i)
        if (atNeed[i])
            widths[i] = needs[i];
    return widths;
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

int ListRow::Width(const QList<int> &widths)
{
    return std::accumulate(widths.begin(), widths.end(), 2 * Left);
}

} // namespace StudyLists
