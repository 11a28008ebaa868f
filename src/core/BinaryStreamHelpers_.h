#pragma once

#include "core/BinaryStream_.h"

#include <QString>
#include <memory>

namespace BinaryStreamHelpers_ {
// A stream open on fileName; error 52 when the file cannot be opened.
std::unique_ptr<BinaryStream_> OpenBinaryStream(const QString &fileName);
} // namespace BinaryStreamHelpers_
