// The translation notes file: its titles and a note.
#include "FuzzCase.h"
#include "study/TLNotes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size);
    const QString path = input.write(QStringLiteral("Modules/TLNotes.txt"));
    FuzzCase::refused([&path] {
        const QStringList titles = TLNotes::ReadTitles(path);
        TLNotes::ReadNote(path, titles.isEmpty() ? QStringLiteral("x") : titles.last());
    });
    return 0;
}
