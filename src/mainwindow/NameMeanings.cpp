#include "mainwindow/NameMeanings.h"

#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/MsgSupport.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/TextFile.h"

#include <QStringList>

namespace {
constexpr int MeaningTitleMsg = 58;

// One empty entry stands for "not read yet".
struct Names
{
    QStringList names{QString()};
    QStringList meanings{QString()};
};

Names &names()
{
    static Names list;
    return list;
}
} // namespace

namespace NameMeanings {

void Reset()
{
    names() = Names();
}

void EnsureLoaded()
{
    Names &list = names();
    if (list.meanings.size() != 1)
        return;
    // Without a listed names dictionary, or with its file gone, names have no meanings.
    if (gNameDictionaries.Count() == 0)
        return;
    const QString path = gNameFolder + gNameDictionaries.FileNames(0);
    if (!FileFunctions_::FileExists(path))
        return;
    TextReader reader = TextReader::fromFile(FileNames::resolve(path), gNameDictionaries.CodePage(0));
    Names read{{}, {}};
    while (!reader.atEnd()) {
        const QStringList fields = reader.readLine().split(QLatin1Char('\t'));
        if (fields.size() < 2)
            continue;
        read.names.append(fields[1]);
        read.meanings.append(fields.value(2));
    }
    if (!read.names.isEmpty())
        list = read;
}

void Show(const QString &name)
{
    if (gNameFolder.isEmpty() || FileNames::listFiles(gNameFolder, QStringLiteral("*.txt")).isEmpty())
        return;
    EnsureLoaded();
    const Names &list = names();
    const QString key = name.toUpper();
    for (qsizetype i = 0; i < list.names.size(); ++i) {
        if (list.names[i].toUpper() != key)
            continue;
        // An entry without a meaning has nothing to tell.
        if (!list.meanings.value(i).isEmpty())
            desktop().messageBox(list.meanings[i], MsgBoxStyle::Information,
                                 GetMsg(0, MeaningTitleMsg, list.names[i]));
        return;
    }
}

} // namespace NameMeanings
