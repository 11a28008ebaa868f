#pragma once

#include "core/ArrayList_.h"

#include <QString>
#include <QVariant>
#include <QWidget>

class QListWidget;
class QListWidgetItem;

// A list box whose items carry a datum of any type. Each item keeps, as its own
// item data, the index of its datum in a value list that only ever grows, so a
// datum follows its item wherever the item moves.
//
// Indices outside the list raise the list box's errors (381 for an item index,
// 380 for a selection or insertion index).
class ListboxImproved_ : public QWidget
{
    Q_OBJECT

public:
    explicit ListboxImproved_(QWidget *parent = nullptr);
    ~ListboxImproved_() override;

    // index -1 appends, any other index inserts there; newIndex receives the position.
    void AddItem(const QString &text, const QVariant &datum, qint32 index, qint32 &newIndex);
    void AddItem(const QString &text, const QVariant &datum, qint32 index = -1);
    qint32 ListCount() const;
    QString List(qint32 i) const;
    void setList(qint32 i, const QString &text);
    QVariant ItemData(qint32 i) const;
    void setItemData(qint32 i, const QVariant &datum);
    // The selected item, -1 for none.
    qint32 ListIndex() const;
    void setListIndex(qint32 i);
    // Empties the list; the value list keeps its entries.
    void Clear();

    QListWidget *List1 = nullptr;

signals:
    void Click();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void List1_Click();
    qint32 valueIndexOf(qint32 i) const;
    void checkItemIndex(qint32 i) const;

    ArrayList_ m_values;
    // The item last reported by Click, so that only changes are reported; an item
    // that moves because another was inserted before it is still the same choice.
    const QListWidgetItem *m_reportedItem = nullptr;
    bool m_clearing = false;
};
