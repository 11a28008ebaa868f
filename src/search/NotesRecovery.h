#pragma once

#include <QString>
#include <QStringList>

class QTextDocument;

// Notes kept when the program ended without asking about them (a signal, the
// session ending, the display gone): written as RTF to a file of their own, one
// file per run, and offered at the next start. They go to the user's data
// folder; where that cannot take them (read-only, full), to the settings
// folder, else to a folder of the user's own in the temporary folder. An
// offered file is renamed, not deleted: the notes stay where the reader was told.
namespace NotesRecovery {
// The folders kept notes may go to, in the order tried, each ending with "/".
QStringList Folders();
// Writes the document to this run's file of kept notes, replacing what an earlier
// call wrote; returns the file. Raises RuntimeError 75, with each folder's
// reason, when no folder can take it.
QString Keep(const QTextDocument &document);
// The notes were saved, or the reader chose at the end not to: this run's kept
// file, if any, is stale and goes (the next run must not offer it).
void Discard();
// Makes now what Keep uses in static storage (the folders, the clock, the RTF
// writer's tables), so that it is still there when Keep runs at exit().
void Prepare();
// The kept notes not offered yet, from every folder, oldest first.
QStringList Waiting();
// The name kept notes take once they were offered: their own where their
// folder cannot be written now (they are then offered again).
QString OfferedName(const QString &path);
// Marks kept notes as offered; returns their name from now on (the old name
// when they could not be renamed, so that they are offered again).
QString MarkOffered(const QString &path);
} // namespace NotesRecovery
