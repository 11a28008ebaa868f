// A dictionary file: headwords, an entry, and the entries it refers to.
#include "FuzzCase.h"
#include "study/DictionaryFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = input.write(QStringLiteral("Modules/Dictionary/d_fuzz.txt"));
    FuzzCase::refused([&path] {
        const DictionaryFile file(path, 1252);
        const QStringList headwords = file.Headwords();
        if (headwords.isEmpty())
            return;
        if (const std::optional<DictionaryEntry> entry = file.Find(headwords.last())) {
            DictionaryFile::ShownText(*entry);
            file.HeadwordsOf(DictionaryFile::References(entry->text));
        }
    });
    return 0;
}
