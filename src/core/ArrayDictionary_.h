#pragma once

#include <QVariant>
#include <QVector>

// A key-value dictionary kept in two parallel growable arrays and searched in
// order from the start; with duplicate keys the first one wins.
class ArrayDictionary_
{
public:
    ArrayDictionary_();

    // Appends the pair without looking for an existing key.
    void Add(const QVariant &key, const QVariant &value);
    void AddOrSet(const QVariant &key, const QVariant &value);
    qint32 Count() const { return m_count; }
    bool Contains(const QVariant &key) const;
    QVariant FindByKey(const QVariant &key, const QVariant &defaultValue = QVariant()) const;
    QVariant FindValueByIndex(qint32 index, const QVariant &defaultValue = QVariant()) const;
    QVariant FindKeyByIndex(qint32 index, const QVariant &defaultValue = QVariant()) const;

    qint32 UpperBound() const { return qint32(m_keys.size()) - 1; }

private:
    qint32 IndexOf(const QVariant &key) const;
    QVector<QVariant> m_keys;
    QVector<QVariant> m_values;
    qint32 m_count = 0;
};
