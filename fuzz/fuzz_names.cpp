// A names dictionary file: its names and a meaning.
#include "FuzzCase.h"
#include "study/NameDictionaryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = input.write(QStringLiteral("Modules/Name/n_fuzz.txt"));
    FuzzCase::refused([&path] {
        const NameDictionaryFile file(path, 65001);
        const QStringList names = file.Names();
        if (!names.isEmpty())
            file.Meaning(names.last());
        NameDictionaryFile::FirstStartingWith(names, QStringLiteral("a"));
    });
    return 0;
}
