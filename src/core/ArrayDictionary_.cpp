#include "core/ArrayDictionary_.h"
#include "core/ArrayList_.h"
#include "core/VariantHelpers_.h"

ArrayDictionary_::ArrayDictionary_()
    : m_keys(11)
    , m_values(11)
{
}

qint32 ArrayDictionary_::IndexOf(const QVariant &key) const
{
    for (qint32 i = 0; i < m_count; ++i)
        if (VariantHelpers_::VariantEquals(m_keys[i], key))
            return i;
    return -1;
}

void ArrayDictionary_::Add(const QVariant &key, const QVariant &value)
{
    const qint32 upper = GrownUpperBound(UpperBound(), m_count);
    if (upper != UpperBound()) {
        m_keys.resize(upper + 1);
        m_values.resize(upper + 1);
    }
    VariantHelpers_::AssignVariant(m_keys[m_count], key);
    VariantHelpers_::AssignVariant(m_values[m_count], value);
    ++m_count;
}

void ArrayDictionary_::AddOrSet(const QVariant &key, const QVariant &value)
{
    const qint32 index = IndexOf(key);
    if (index >= 0)
        VariantHelpers_::AssignVariant(m_values[index], value);
    else
        Add(key, value);
}

bool ArrayDictionary_::Contains(const QVariant &key) const
{
    return IndexOf(key) >= 0;
}

QVariant ArrayDictionary_::FindByKey(const QVariant &key, const QVariant &defaultValue) const
{
    const qint32 index = IndexOf(key);
    return index >= 0 ? m_values[index] : defaultValue;
}

QVariant ArrayDictionary_::FindValueByIndex(qint32 index, const QVariant &defaultValue) const
{
    return index >= 0 && index < m_count ? m_values[index] : defaultValue;
}

QVariant ArrayDictionary_::FindKeyByIndex(qint32 index, const QVariant &defaultValue) const
{
    return index >= 0 && index < m_count ? m_keys[index] : defaultValue;
}
