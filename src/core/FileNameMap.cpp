#include "core/FileNameMap.h"
#include "core/Bug_.h"
#include "core/Translation.h"
#include "platform/VbText.h"

FileNameMap::FileNameMap()
{
    Clear();
}

void FileNameMap::CheckIndex(qint32 i, const char *member) const
{
    if (i < 0 || i >= Count())
        raiseError(RtErr::SubscriptOutOfRange,
                   QStringLiteral("Verbanox.FileNameMap.") + QLatin1String(member));
}

QString FileNameMap::DisplayName(qint32 i) const
{
    CheckIndex(i, "DisplayName");
    return m_displayNames[i];
}

QString FileNameMap::FileNames(qint32 i) const
{
    CheckIndex(i, "FileNames");
    return m_fileNames[i];
}

bool FileNameMap::Enabled(qint32 i) const
{
    CheckIndex(i, "Enabled/Get");
    return m_enabled[i];
}

void FileNameMap::SetEnabled(qint32 i, bool enabled)
{
    CheckIndex(i, "Enabled/Let");
    m_enabled[i] = enabled;
}

qint32 FileNameMap::CodePage(qint32 i) const
{
    CheckIndex(i, "CodePage");
    return m_codePages[i];
}

std::shared_ptr<Translation> FileNameMap::Tag(qint32 i) const
{
    CheckIndex(i, "Tag/Get");
    return m_tags[i];
}

void FileNameMap::SetTag(qint32 i, std::shared_ptr<Translation> translation)
{
    CheckIndex(i, "Tag/Set");
    m_tags[i] = std::move(translation);
}

void FileNameMap::Add(const QString &displayName, const QString &fileName, bool enabled, qint32 codePage)
{
    if (VbText::Trim(fileName).isEmpty()) {
        AssertFailed(QStringLiteral("Filename for translation is empty!  sDisplayname=") + displayName);
        return;
    }
    QString shown = displayName;
    if (VbText::Trim(displayName).isEmpty()) {
        AssertFailed(QStringLiteral("DisplayName for translation is empty!  sFilename=") + fileName);
        shown = fileName;
    }
    m_displayNames.append(shown);
    m_fileNames.append(fileName);
    if (Count() > Capacity()) {
        const qint32 capacity = Count() + 10;
        m_tags.resize(capacity);
        m_enabled.resize(capacity);
        m_codePages.resize(capacity);
    }
    m_enabled[Count() - 1] = enabled;
    m_codePages[Count() - 1] = codePage;
}

void FileNameMap::Clear()
{
    m_displayNames.clear();
    m_fileNames.clear();
    m_tags = QVector<std::shared_ptr<Translation>>(10);
    m_enabled = QVector<bool>(10, false);
    m_codePages = QVector<qint32>(10, 0);
}
