// A compiled-help file: opened, its contents tree built, a help context looked
// up, and its pages read.
#include "FuzzCase.h"
#include "platform/ChmArchive.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    ChmArchive archive;
    if (!archive.open(input.write(QStringLiteral("fuzz.chm"))))
        return 0;
    archive.contents();
    archive.defaultTopic();
    archive.topicOfContext(2001);
    QByteArray bytes;
    const QStringList files = archive.files();
    for (qsizetype i = 0; i < files.size() && i < 64; ++i)
        archive.read(files[i], bytes);
    return 0;
}
