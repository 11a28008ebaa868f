// A message catalog (".mes") as the base catalog and as a language's catalog.
#include "FuzzCase.h"
#include "core/MsgSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = input.write(QStringLiteral("msg/FUZZ_STD.mes"));
    FuzzCase::refused([&path] {
        MsgSupport::LoadMessageFile(0, path, true);
        MsgSupport::LoadMessageFile(1, path, false);
        for (qint32 id = 0; id < 400; ++id)
            GetMsg(id % 2, id, QStringLiteral("x"));
    });
    return 0;
}
