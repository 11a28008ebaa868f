#include "controls/ListboxImproved_.h"

#include "core/Bug_.h"
#include "core/VariantHelpers_.h"
#include "platform/RuntimeError.h"

#include <QListWidget>

namespace {
constexpr qint32 InvalidPropertyArrayIndex = 381;
constexpr int ValueIndexRole = Qt::UserRole;
} // namespace

ListboxImproved_::ListboxImproved_(QWidget *parent)
    : QWidget(parent)
{
    List1 = new QListWidget(this);
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setGeometry(rect());
    setFocusProxy(List1);
    connect(List1, &QListWidget::itemSelectionChanged, this, &ListboxImproved_::List1_Click);
}

ListboxImproved_::~ListboxImproved_() = default;

void ListboxImproved_::checkItemIndex(qint32 i) const
{
    if (i < 0 || i >= ListCount())
        raiseError(InvalidPropertyArrayIndex);
}

void ListboxImproved_::AddItem(const QString &text, const QVariant &datum, qint32 index, qint32 &newIndex)
{
    if (index != -1 && (index < 0 || index > ListCount()))
        raiseError(RtErr::InvalidProcedureCall);
    const qint32 row = index == -1 ? ListCount() : index;
    auto *item = new QListWidgetItem(text);
    item->setData(ValueIndexRole, m_values.Count());
    List1->insertItem(row, item);
    m_values.Add(datum);
    newIndex = row;
}

void ListboxImproved_::AddItem(const QString &text, const QVariant &datum, qint32 index)
{
    qint32 newIndex = 0;
    AddItem(text, datum, index, newIndex);
}

qint32 ListboxImproved_::ListCount() const
{
    return qint32(List1->count());
}

QString ListboxImproved_::List(qint32 i) const
{
    checkItemIndex(i);
    return List1->item(i)->text();
}

void ListboxImproved_::setList(qint32 i, const QString &text)
{
    checkItemIndex(i);
    List1->item(i)->setText(text);
}

qint32 ListboxImproved_::valueIndexOf(qint32 i) const
{
    checkItemIndex(i);
    return List1->item(i)->data(ValueIndexRole).toInt();
}

QVariant ListboxImproved_::ItemData(qint32 i) const
{
    return m_values.Item(valueIndexOf(i));
}

void ListboxImproved_::setItemData(qint32 i, const QVariant &datum)
{
    m_values.SetItem(valueIndexOf(i), datum);
}

qint32 ListboxImproved_::ListIndex() const
{
    const QList<QListWidgetItem *> selected = List1->selectedItems();
    return selected.isEmpty() ? -1 : qint32(List1->row(selected.first()));
}

void ListboxImproved_::setListIndex(qint32 i)
{
    if (i < -1 || i >= ListCount())
        raiseError(RtErr::InvalidPropertyValue);
    if (i == -1) {
        List1->clearSelection();
        List1->setCurrentItem(nullptr);
    } else {
        List1->setCurrentRow(i);
    }
}

void ListboxImproved_::Clear()
{
    m_clearing = true;
    List1->clear();
    m_clearing = false;
    m_reportedItem = nullptr;
}

void ListboxImproved_::List1_Click()
{
    if (m_clearing)
        return;
    const qint32 index = ListIndex();
    const QListWidgetItem *item = index >= 0 ? List1->item(index) : nullptr;
    if (item == m_reportedItem)
        return;
    m_reportedItem = item;
    TrapErrors(QStringLiteral("ListboxImproved.List1_Click()"), [this] { emit Click(); });
}

void ListboxImproved_::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    List1->setGeometry(contentsRect());
}
