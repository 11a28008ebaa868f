#pragma once

#include <QString>

class DeferredErrors;
class FileNameMap;

// The two maintenance commands of the Tools menu, without their windows: the
// integrity check reports into the progress log (which is all a window shows of
// it), re-indexing rebuilds the chapter indexes.
namespace ModuleMaintenance {

enum class ModuleKind { Bibles, Commentaries, Dictionaries, Names };
inline constexpr ModuleKind AllKinds[] = {ModuleKind::Bibles, ModuleKind::Commentaries,
                                          ModuleKind::Dictionaries, ModuleKind::Names};

// The installed list and the module folder of a kind.
FileNameMap &ModuleList(ModuleKind kind);
const QString &ModuleFolder(ModuleKind kind);

// A check run of its own: the log shows again with the kind's heading and a
// Cancel of an earlier run is forgotten, then every module of the list (enabled
// or not) is checked. No trap: a failure ends the run and goes to the caller.
void DoIntegrityCheckViaCollection(FileNameMap &list, const QString &folder);
void CheckKind(ModuleKind kind);

// Integrity Check > All: one log for every kind. BeginCheckOfAll shows it with
// its own heading; each ContinueCheck adds a kind's heading and its modules.
void BeginCheckOfAll();
void ContinueCheck(ModuleKind kind);
// Whether the user pressed Cancel in the log during the run.
bool CheckCancelled();

// Deletes every chapter index, rebuilds those of the modules in use and says so.
// Each step runs even when an earlier one failed; the first failure is reported
// by the caller's errors.
void ReIndex(DeferredErrors &errors);

} // namespace ModuleMaintenance
