// The settings store's file.
#include "FuzzCase.h"
#include "platform/SettingsStore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = input.write(QStringLiteral("fuzz.ini"));
    FuzzCase::refused([&path] {
        SettingsStore store(path);
        for (const QString &section : store.sections())
            for (const QString &key : store.keys(section))
                store.value(section, key, QString());
        store.setValue(QStringLiteral("Fuzz"), QStringLiteral("Key"), QStringLiteral("value"));
    });
    return 0;
}
