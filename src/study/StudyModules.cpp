#include "study/StudyModules.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "platform/CodePage.h"

namespace StudyModules {

int CodePageOf(const FileNameMap &list, int i)
{
    const int codePage = list.CodePage(i);
    if (codePage == CodePage::Ansi && list.FileNames(i).contains(QLatin1String("_utf8")))
        return CodePage::Utf8;
    return codePage;
}

QString DictionaryPath(int i)
{
    return gDictionaryFolder + gDictionaries.FileNames(i);
}

QString NameDictionaryPath(int i)
{
    return gNameFolder + gNameDictionaries.FileNames(i);
}

} // namespace StudyModules
