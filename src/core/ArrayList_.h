#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

// A growable 0-based list of variant values with an optional key index.
class ArrayList_
{
public:
    ArrayList_();

    void Add(const QVariant &value, const QString &key = QString());
    qint32 Count() const { return m_count; }
    // An index outside 0..Count-1 fails an assertion and gives an empty value.
    QVariant Item(qint32 index) const;
    // Stores a value (or an object reference); a bad index stores nothing.
    void SetItem(qint32 index, const QVariant &value);
    bool Contains(const QVariant &value) const;
    QVariant FindByValue(const QVariant &value, const QVariant &defaultValue) const;
    // The index stored for a key; `current` when the key was never added.
    qint32 IndexOfKey(const QString &key, qint32 current = 0) const;

    // The upper bound of the storage (10 at creation; grows by half).
    qint32 UpperBound() const { return qint32(m_items.size()) - 1; }

private:
    bool CheckIndex(qint32 index) const;
    QVector<QVariant> m_items;
    qint32 m_count = 0;
    std::optional<QHash<QString, qint32>> m_keys;
};

// The next upper bound of a growable array that must hold `index`: half again
// as large, rounded half to even, or the index itself when that is larger.
qint32 GrownUpperBound(qint32 upperBound, qint32 index);
