#include "core/BinaryStreamHelpers_.h"

namespace BinaryStreamHelpers_ {

std::unique_ptr<BinaryStream_> OpenBinaryStream(const QString &fileName)
{
    auto stream = std::make_unique<BinaryStream_>();
    stream->OpenStream(fileName);
    return stream;
}

} // namespace BinaryStreamHelpers_
