#include "core/ArrayList_.h"
#include "core/Bug_.h"
#include "core/VariantHelpers_.h"

#include <cmath>

qint32 GrownUpperBound(qint32 upperBound, qint32 index)
{
    if (upperBound >= index)
        return upperBound;
    const qint32 grown = qint32(std::nearbyint(upperBound * 1.5));
    return std::max(grown, index);
}

ArrayList_::ArrayList_()
    : m_items(11)
{
}

bool ArrayList_::CheckIndex(qint32 index) const
{
    if (index >= 0 && index < m_count)
        return true;
    AssertFailed(QStringLiteral("Index out of range.  index=") + QString::number(index) +
                 QStringLiteral(", size of list=") + QString::number(m_count));
    return false;
}

void ArrayList_::Add(const QVariant &value, const QString &key)
{
    const qint32 upper = GrownUpperBound(UpperBound(), m_count);
    if (upper != UpperBound())
        m_items.resize(upper + 1);
    VariantHelpers_::AssignVariant(m_items[m_count], value);
    if (!key.isEmpty()) {
        if (!m_keys)
            m_keys.emplace();
        m_keys->insert(key, m_count);
    }
    ++m_count;
}

QVariant ArrayList_::Item(qint32 index) const
{
    if (!CheckIndex(index))
        return QVariant();
    return m_items[index];
}

void ArrayList_::SetItem(qint32 index, const QVariant &value)
{
    if (CheckIndex(index))
        VariantHelpers_::AssignVariant(m_items[index], value);
}

bool ArrayList_::Contains(const QVariant &value) const
{
    for (qint32 i = 0; i < m_count; ++i)
        if (VariantHelpers_::VariantEquals(m_items[i], value))
            return true;
    return false;
}

QVariant ArrayList_::FindByValue(const QVariant &value, const QVariant &defaultValue) const
{
    for (qint32 i = 0; i < m_count; ++i)
        if (VariantHelpers_::VariantEquals(m_items[i], value))
            return m_items[i];
    return defaultValue;
}

qint32 ArrayList_::IndexOfKey(const QString &key, qint32 current) const
{
    if (!m_keys)
        return current;
    return m_keys->value(key, current);
}
