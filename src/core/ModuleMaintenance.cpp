#include "core/ModuleMaintenance.h"

#include "core/Bug_.h"
#include "core/FileNameMap.h"
#include "core/GlobalVars.h"
#include "core/MiscHelpers.h"
#include "core/MsgSupport.h"
#include "core/ProgressLog.h"
#include "core/TranslationHelpers.h"
#include "core/VerbanoxRoutines.h"
#include "platform/Desktop.h"
#include "platform/FileNames.h"
#include "platform/RuntimeError.h"

#include <QFile>

namespace {
const QString CRLF = QStringLiteral("\r\n");

// Form texts of the Integrity Check menu, which the log's headings repeat.
constexpr int IntegrityCheckId = 97;
constexpr int AllKindsId = 202;
constexpr int IndexDeletedMsg = 49;

int kindCaptionId(ModuleMaintenance::ModuleKind kind)
{
    // Bibles 98, Commentaries 99, Dictionaries 100, Names 101.
    return 98 + int(kind);
}

// A caption without its access-key marks, for running text.
QString plainCaption(QString caption)
{
    caption.replace(QLatin1String("&&"), QStringLiteral("\x01"));
    caption.remove(QLatin1Char('&'));
    caption.replace(QLatin1Char('\x01'), QLatin1Char('&'));
    return caption;
}

QString heading(int captionId)
{
    return plainCaption(GetMsg(1, IntegrityCheckId)) + QStringLiteral(": ") +
           plainCaption(GetMsg(1, captionId)) + CRLF;
}

ModuleMaintenance::ModuleKind kindOf(const FileNameMap &list)
{
    for (ModuleMaintenance::ModuleKind kind : ModuleMaintenance::AllKinds)
        if (&list == &ModuleMaintenance::ModuleList(kind))
            return kind;
    return ModuleMaintenance::ModuleKind::Bibles;
}

// A new run: the log shows again even after the user closed it, and a Cancel
// of an earlier run does not stop this one.
void startRun(const QString &title)
{
    ProgressMessages().MsgShow(title, false);
    ProgressMessages().SetCancelled(false);
}

void checkModules(const FileNameMap &list, const QString &folder)
{
    {
        WaitCursor busy;
        for (qint32 i = 0; i < list.Count(); ++i) {
            const QString name = list.DisplayName(i);
            const QString file = list.FileNames(i);
            ProgressMessages().MsgAddMessage(
                QStringLiteral("CRC Calculation for: ") + name + QStringLiteral("(") + folder + file +
                    QStringLiteral(") ") + QStringLiteral("in progress. This could take a minute or two ") +
                    QStringLiteral("depending on the speed of ") +
                    QStringLiteral("your computer.  Please stand by...") + CRLF,
                false, true);
            // A file that cannot be read gives a report line of its own; the
            // check goes on with the next module.
            const QString report = VerbanoxRoutines::CheckModuleCrc(folder, file);
            ProgressMessages().MsgAddMessage(report + CRLF + CRLF, true, true);
            if (ProgressMessages().Cancelled()) {
                ProgressMessages().MsgAddMessage(CRLF + QStringLiteral("Integrity Check CANCELED!") + CRLF,
                                                 true, true);
                break;
            }
        }
    }
    if (!ProgressMessages().Cancelled())
        ProgressMessages().MsgAddMessage(CRLF + QStringLiteral("DONE!") + CRLF, true, true);
    ProgressMessages().MsgDone();
}
} // namespace

namespace ModuleMaintenance {

FileNameMap &ModuleList(ModuleKind kind)
{
    switch (kind) {
    case ModuleKind::Commentaries:
        return gCommentaries;
    case ModuleKind::Dictionaries:
        return gDictionaries;
    case ModuleKind::Names:
        return gNameDictionaries;
    case ModuleKind::Bibles:
        break;
    }
    return gBibles;
}

const QString &ModuleFolder(ModuleKind kind)
{
    switch (kind) {
    case ModuleKind::Commentaries:
        return gCommentaryFolder;
    case ModuleKind::Dictionaries:
        return gDictionaryFolder;
    case ModuleKind::Names:
        return gNameFolder;
    case ModuleKind::Bibles:
        break;
    }
    return gBibleFolder;
}

void DoIntegrityCheckViaCollection(FileNameMap &list, const QString &folder)
{
    startRun(heading(kindCaptionId(kindOf(list))));
    checkModules(list, folder);
}

void CheckKind(ModuleKind kind)
{
    DoIntegrityCheckViaCollection(ModuleList(kind), ModuleFolder(kind));
}

void BeginCheckOfAll()
{
    startRun(heading(AllKindsId));
}

void ContinueCheck(ModuleKind kind)
{
    ProgressMessages().MsgAddMessage(CRLF + heading(kindCaptionId(kind)), true, false);
    checkModules(ModuleList(kind), ModuleFolder(kind));
}

bool CheckCancelled()
{
    return ProgressMessages().Cancelled();
}

void ReIndex(DeferredErrors &errors)
{
    errors.step([] {
        for (const QString &name : FileNames::listFiles(gIndexFolder, QStringLiteral("*.INDEX")))
            if (!QFile::remove(gIndexFolder + name))
                raiseError(RtErr::PathFileAccessError, QStringLiteral("Verbanox.ModuleMaintenance"),
                           QStringLiteral("Cannot delete ") + gIndexFolder + name);
    });
    errors.step([] { TranslationHelpers::ReloadIndicesInUse(); });
    errors.step([] {
        desktop().messageBox(GetMsg(0, IndexDeletedMsg, gIndexFolder), MsgBoxStyle::Information,
                             MiscHelpers::ProductTitle() + QStringLiteral(" Delete index"));
    });
}

} // namespace ModuleMaintenance
