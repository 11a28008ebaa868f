// A compiled-help contents file (sitemap HTML) parsed into its tree.
#include "platform/ChmArchive.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    ChmArchive::parseSitemap(ChmArchive::decodeText(bytes));
    return 0;
}
