#include "core/TranslationHelpers.h"
#include "core/Bug_.h"
#include "core/FileFunctions_.h"
#include "core/GlobalVars.h"
#include "core/ProgressLog.h"
#include "core/Translation.h"

namespace {
std::shared_ptr<Translation> opened(FileNameMap &list, qint32 i, qint32 what)
{
    if (std::shared_ptr<Translation> cached = list.Tag(i))
        return cached;
    auto translation = std::make_shared<Translation>();
    // Cached before it loads, so that a request arriving while its index is
    // being built gets this object instead of building the index again.
    list.SetTag(i, translation);
    translation->Initialize(i, what);
    return translation;
}

void reloadAll(FileNameMap &list)
{
    for (qint32 i = 0; i < list.Count(); ++i)
        if (std::shared_ptr<Translation> t = list.Tag(i))
            t->RedloadIndex();
}
} // namespace

namespace TranslationHelpers {

bool IsTranslationLoaded(qint32 i)
{
    if (i < 0 || i >= gBibles.Count()) {
        AssertFailed(QStringLiteral("Bad itranslation used:  iTranslation=") + QString::number(i));
        return false;
    }
    return gBibles.Tag(i) != nullptr;
}

std::shared_ptr<Translation> GetTranslation(qint32 i)
{
    if (i < 0 || i >= gBibles.Count()) {
        AssertFailed(QStringLiteral("Bad itranslation used:  iTranslation=") + QString::number(i));
        return nullptr;
    }
    return opened(gBibles, i, Translation::BibleKind);
}

std::shared_ptr<Translation> GetTranslationByFileName(const QString &fileName,
                                                      std::shared_ptr<Translation> fallback)
{
    for (qint32 i = 0; i < gBibles.Count(); ++i)
        if (gBibles.FileNames(i) == fileName)
            return GetTranslation(i);
    return fallback;
}

std::shared_ptr<Translation> GetTranslationByDisplayName(const QString &displayName,
                                                         std::shared_ptr<Translation> fallback)
{
    for (qint32 i = 0; i < gBibles.Count(); ++i)
        if (gBibles.DisplayName(i) == displayName)
            return GetTranslation(i);
    return fallback;
}

std::shared_ptr<Translation> GetCommentary(qint32 i)
{
    if (i < 0 || i >= gCommentaries.Count()) {
        AssertFailed(QStringLiteral("Bad iComm used:  iComm=") + QString::number(i));
        return nullptr;
    }
    return opened(gCommentaries, i, Translation::CommentaryKind);
}

bool IndexFileExists(qint32 i, qint32 what)
{
    const FileNameMap *list = what == Translation::BibleKind        ? &gBibles
                              : what == Translation::CommentaryKind ? &gCommentaries
                                                                    : nullptr;
    if (!list)
        return false;
    return FileFunctions_::FileExists(gIndexFolder + list->FileNames(i) + QStringLiteral(".INDEX"));
}

void ReloadIndicesInUse()
{
    ProgressMessages().MsgShow(QStringLiteral("Reloading indicies currently in use...\r\n"), true);
    reloadAll(gBibles);
    reloadAll(gCommentaries);
}

} // namespace TranslationHelpers
