#pragma once

#include <QVariant>
#include <memory>

// Values of the general containers are variants: scalars and strings by value,
// objects as shared references (std::shared_ptr<T> or QObject *), which compare
// by identity.
namespace VariantHelpers_ {
// Objects are assigned as references, everything else by value; with QVariant
// both come down to a copy.
inline void AssignVariant(QVariant &destination, const QVariant &source)
{
    destination = source;
}

// Whether the variant holds an object reference rather than a value.
bool IsObject(const QVariant &value);
// Equality of two variants: objects by identity, other values by value (numbers
// of different types compare by their value).
bool VariantEquals(const QVariant &a, const QVariant &b);

template <typename T> QVariant FromObject(const std::shared_ptr<T> &object)
{
    return QVariant::fromValue(object);
}

template <typename T> std::shared_ptr<T> ToObject(const QVariant &value)
{
    return value.value<std::shared_ptr<T>>();
}
} // namespace VariantHelpers_
