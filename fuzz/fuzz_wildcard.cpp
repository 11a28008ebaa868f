// A wildcard pattern (the first line of the input) matched against the rest.
#include "search/WildcardPattern.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype newline = text.indexOf(QLatin1Char('\n'));
    const QString pattern = newline < 0 ? text : text.left(newline);
    const QString line = newline < 0 ? QString() : text.mid(newline + 1);
    for (const bool ignoreCase : {false, true}) {
        const WildcardPattern wildcard(pattern, ignoreCase);
        if (wildcard.IsValid())
            wildcard.Matches(ignoreCase ? line.toCaseFolded() : line);
    }
    return 0;
}
