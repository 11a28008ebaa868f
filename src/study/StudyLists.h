#pragma once

#include <QList>
#include <QString>

class QComboBox;
class QLabel;
class QWidget;

// The editable drop-down lists of the study windows.
namespace StudyLists {
// An editable list that adds nothing typed into it.
QComboBox *EditableList(QWidget *parent);
// Sets the list's text, shown from its start.
void SetListText(QComboBox *list, const QString &text);
// Shares `available` pixels among lists in proportion to their shares, none
// narrower than it needs: a list whose share is too small gets what it needs,
// and the others share what is left. When even the needs do not fit, each list
// gets its need.
QList<int> ShareWidths(int available, const QList<double> &shares, const QList<int> &needs);
// Makes a study window a modeless top-level window of its own, deleted when
// closed, that does not keep the program running.
void MakeStudyWindow(QWidget *window);

// The row of lists along the top of a study window: each list starts where the
// one before ends, its label (if any) above it with its left edge and width.
class ListRow
{
public:
    static constexpr int Left = 4;
    static constexpr int LabelTop = 4;
    static constexpr int ListTop = 22;
    static constexpr int LabelHeight = 16;

    explicit ListRow(int listHeight)
        : m_listHeight(listHeight)
    {
    }
    void Place(QWidget *list, QLabel *label, int width);
    void Skip(int width) { m_x += width; }
    // The width a row of lists this wide takes, its margins included.
    static int Width(const QList<int> &widths);
    // The first pixel below the lists.
    int Bottom() const { return ListTop + m_listHeight; }

private:
    int m_listHeight;
    int m_x = Left;
};
} // namespace StudyLists
