// A language's book-name file "books_<LANGUAGE>.txt", opened in the language editor.
#include "FuzzCase.h"
#include "preferences/LanguageE.h"

#include <QListWidget>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzCase input(data, size, true);
    input.fixture().copyShippedData(QStringLiteral("SysDefs"));
    input.write(QStringLiteral("SysDefs/books_FUZZ.txt"));
    input.write(QStringLiteral("msg/FUZZ_FRM.mes"));
    FuzzCase::refused([] {
        LanguageE form;
        form.LSel->setCurrentItem(form.LSel->findItems(QStringLiteral("FUZZ"), Qt::MatchExactly).value(0));
        form.LSel_Click();
        form.GetLang(QStringLiteral("FUZZ"));
    });
    return 0;
}
