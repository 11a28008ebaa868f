#include "VxHelpers/RtfDataObject.h"

#include <cstdlib>
#include <cstring>

RtfDataObject &RtfDataObject::instance()
{
    static RtfDataObject object;
    return object;
}

RtfDataObject::RtfDataObject()
    : m_interface{&RtfDataObject::queryGetData, &RtfDataObject::getData, &RtfDataObject::getDataHere}
    , m_format(VxAbi::RegisterClipboardFormat(VxAbi::RtfFormatName))
{
}

void RtfDataObject::keep(const char *rtf, uint32_t size)
{
    if (rtf)
        m_kept = QByteArray(rtf, qsizetype(size));
    else
        m_kept.reset();
}

void RtfDataObject::clear()
{
    m_kept.reset();
}

VxAbi::HRESULT RtfDataObject::queryGetData(VxAbi::DataObject *self, uint16_t format)
{
    if (self != instance().object())
        return VxAbi::E_INVALIDARG;
    return format == instance().m_format ? VxAbi::S_OK : VxAbi::E_NOTIMPL;
}

VxAbi::HRESULT RtfDataObject::getData(VxAbi::DataObject *self, uint16_t format, VxAbi::Medium *medium)
{
    if (self != instance().object())
        return VxAbi::E_INVALIDARG;
    if (!medium)
        return VxAbi::E_POINTER;
    const RtfDataObject &object = instance();
    if (format != object.m_format)
        return VxAbi::DV_E_FORMATETC;
    // Cleared since the object was handed out: there is nothing left to copy.
    if (!object.m_kept)
        return VxAbi::E_UNEXPECTED;
    const QByteArray &bytes = *object.m_kept;
    // Never a null block, even for an empty string: the receiver frees what it gets.
    void *block = std::calloc(std::size_t(bytes.size()) + (bytes.isEmpty() ? 1 : 0), 1);
    if (!block)
        return VxAbi::E_OUTOFMEMORY;
    if (!bytes.isEmpty())
        std::memcpy(block, bytes.constData(), std::size_t(bytes.size()));
    medium->tymed = VxAbi::TYMED_HGLOBAL;
    medium->block = block;
    medium->size = uint32_t(bytes.size());
    return VxAbi::S_OK;
}

VxAbi::HRESULT RtfDataObject::getDataHere(VxAbi::DataObject *, uint16_t, VxAbi::Medium *)
{
    return VxAbi::E_NOTIMPL;
}
