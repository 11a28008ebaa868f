// The record reader of quoted comma-separated files, and the module list
// "Translations.txt" read through it.
#include "FuzzCase.h"
#include "core/VerbanoxRoutines.h"
#include "platform/TextFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    FuzzCase::refused([&input] {
        RecordReader reader = RecordReader::fromBytes(input.bytes(), 65001);
        while (!reader.atEnd()) {
            reader.readRecord();
            reader.takeSkippedRecords();
        }
    });
    input.write(QStringLiteral("SysDefs/Translations.txt"));
    FuzzCase::refused([] { VerbanoxRoutines::LoadTranslationsList(); });
    return 0;
}
