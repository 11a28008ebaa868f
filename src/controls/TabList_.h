#pragma once

#include <QString>
#include <QVariant>
#include <QVector>
#include <QWidget>

class FlatButton_;

// A vertical column of one-line tabs, one per item, each with a caption and a
// datum. The committed item is drawn as the open tab; the keyboard moves a
// separate current row that becomes the committed one only when it is committed
// (Enter, Space, the context key, leaving the control, or a click). Two flat
// buttons scroll the column when it is taller than the control.
//
// Indices -1 mean "none". Inserting or removing items keeps the current and the
// committed row on the same item.
class TabList_ : public QWidget
{
    Q_OBJECT

public:
    explicit TabList_(QWidget *parent = nullptr);
    ~TabList_() override;

    // AddItem's default index: larger than any count, so it appends.
    static constexpr qint32 AppendIndex = 65535;
    // The context-menu key.
    static constexpr int VkApps = 93;

    void Clear();
    qint32 SelectedItem() const { return m_committedIndex; }
    // An index at or past the count is ignored; a negative one clears the choice.
    void setSelectedItem(qint32 i);
    QString CaptionOfSelected() const;
    void setCaptionOfSelected(const QString &sNew);
    // "" outside 0..count-1; setting outside is ignored.
    QString Captions(qint32 i) const;
    void setCaptions(qint32 i, const QString &sNew);
    QVariant DatumOfSelected() const;
    void setDatumOfSelected(const QVariant &vNew);
    // Selects the first item whose datum equals (numbers by value), else item 0.
    void SelectDatum(const QVariant &datum);
    // An invalid QVariant outside 0..count-1; setting outside is ignored.
    QVariant Data(qint32 i) const;
    void setData(qint32 i, const QVariant &vNew);
    // Inserts at index (a larger index appends, a negative one inserts at the top);
    // returns the index used, as a QVariant holding a qint32.
    QVariant AddItem(const QString &sCaption, const QVariant &vData, qint32 index = AppendIndex);
    void RemoveItem(qint32 index);
    void Refresh();

    qint32 ListCount() const { return m_count; }
    qint32 TopIndex() const { return m_topIndex; }
    qint32 CurrentIndex() const { return m_currentIndex; }
    // The upper bound of the item storage (50 at creation, doubling).
    qint32 UpperBound() const { return qint32(m_captions.size()) - 1; }
    // Row geometry in pixels.
    int RowHeight() const;
    int VisibleRows() const;

    // Keys reach the list through the focus holder pixFocus.
    void pixFocus_KeyDown(int &KeyCode, int &Shift);
    void pixFocus_KeyPress(int &KeyAscii);

    FlatButton_ *btnDown = nullptr; // at the top: scrolls back
    FlatButton_ *btnUp = nullptr;   // at the bottom: scrolls forward
    QWidget *pixFocus = nullptr;

signals:
    void Click();
    void ContextMenu();
    // The open tab was chosen again (left click, Enter or Space on it): the choice
    // stays, so no Click, but a host may want to show the chosen item afresh.
    void OpenTabChosenAgain();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void btnDown_Click();
    void btnUp_Click();
    void pixFocus_GotFocus();
    void pixFocus_LostFocus();
    bool pixFocus_Key(QKeyEvent *event);

    void CommitSelection();
    void RevertToCommitted();
    void InvalidateSelectionRows();
    void InvalidateRow(qint32 row);
    void RepaintAll();
    void UpdateScrollButtons();
    void ScrollBack();
    void ScrollForward();
    void moveCurrent(qint32 row);
    void ensureCapacity();
    void paintRow(QPainter &painter, qint32 i, int y);

    QVector<QString> m_captions;
    QVector<QVariant> m_data;
    qint32 m_count = 0;
    qint32 m_topIndex = 0;
    qint32 m_currentIndex = -1;
    qint32 m_committedIndex = -1;
    bool m_hasFocus = false;
};
