#pragma once

#include <QString>
#include <memory>

class Translation;

// The shared Translation of a Bible or commentary, opened on first use and
// cached in its module list entry.
namespace TranslationHelpers {
bool IsTranslationLoaded(qint32 i);
std::shared_ptr<Translation> GetTranslation(qint32 i);
std::shared_ptr<Translation> GetTranslationByFileName(const QString &fileName,
                                                      std::shared_ptr<Translation> fallback = nullptr);
std::shared_ptr<Translation> GetTranslationByDisplayName(const QString &displayName,
                                                         std::shared_ptr<Translation> fallback = nullptr);
std::shared_ptr<Translation> GetCommentary(qint32 i);
bool IndexFileExists(qint32 i, qint32 what);
void ReloadIndicesInUse();
} // namespace TranslationHelpers

using TranslationHelpers::GetTranslation;
