#include "core/VariantHelpers_.h"

namespace VariantHelpers_ {

bool IsObject(const QVariant &value)
{
    const QMetaType type = value.metaType();
    if (type.flags() & (QMetaType::PointerToQObject | QMetaType::IsPointer))
        return true;
    return QByteArray(type.name()).startsWith("std::shared_ptr<");
}

bool VariantEquals(const QVariant &a, const QVariant &b)
{
    const bool objectA = IsObject(a);
    const bool objectB = IsObject(b);
    if (objectA || objectB) {
        if (!(objectA && objectB) || a.metaType() != b.metaType())
            return false;
        // shared_ptr and raw pointers compare by the address they hold.
        return a == b;
    }
    if (!a.isValid() || !b.isValid())
        return a.isValid() == b.isValid();
    return a == b;
}

} // namespace VariantHelpers_
