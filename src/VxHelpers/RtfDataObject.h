#pragma once

#include "abi/VxHelpersAbi.h"

#include <QByteArray>
#include <optional>

// The one data object through which the program pastes RTF text: it offers the
// kept string in the "Rich Text Format" clipboard format. Made on first use,
// never freed, not reference-counted.
class RtfDataObject
{
public:
    static RtfDataObject &instance();

    // Keeps a copy of the bytes (none for null) in place of the previous string.
    void keep(const char *rtf, uint32_t size);
    void clear();
    VxAbi::DataObject *object() { return &m_interface; }

private:
    RtfDataObject();
    static VxAbi::HRESULT queryGetData(VxAbi::DataObject *self, uint16_t format);
    static VxAbi::HRESULT getData(VxAbi::DataObject *self, uint16_t format, VxAbi::Medium *medium);
    static VxAbi::HRESULT getDataHere(VxAbi::DataObject *self, uint16_t format, VxAbi::Medium *medium);

    VxAbi::DataObject m_interface;
    uint16_t m_format;
    std::optional<QByteArray> m_kept;
};
