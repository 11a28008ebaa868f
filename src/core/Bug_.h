#pragma once

#include <QLoggingCategory>
#include <QString>
#include <exception>
#include <utility>

#include "platform/CallSite.h"
#include "platform/Desktop.h"
#include "platform/RuntimeError.h"

// Errors the program ignores on purpose leave a line here, at debug level and so
// off unless asked for (QT_LOGGING_RULES="verbanox.errors.debug=true").
Q_DECLARE_LOGGING_CATEGORY(lcErrors)

// The program's one error convention: routines trap errors and report them with
// their trace name ("<Object>.<Routine>()"); the program goes on.
namespace Bug_ {
// Catalog texts of a file at fault: missing, unreadable, unwritable.
constexpr qint32 FileNotFoundMsg = 47;
constexpr qint32 FileUnreadableMsg = 290;
constexpr qint32 FileUnwritableMsg = 294;

void Assert(bool condition, const QString &message);
void AssertFailed(const QString &message);
void ShowUnexpectedError(const QString &routine, const QString &extraText = QString());
void ErrDisplayEndUserMsg(const QString &text, const QString &routine);
QString FormatErrorText(qint32 number, const QString &description, const QString &source,
                        const QString &routine);
QString SystemErrorText(qint32 code);
// The user text of ShowUnexpectedError without the error itself.
QString UnexpectedErrorText(const QString &extraText);
// A file the program reads or writes is at fault: the catalog's message msgId
// (its % the file's name) and the system's reason, which follows on the next
// line, or after a blank line when the message has lines of its own.
QString FileFaultText(qint32 msgId, const QString &fileName, const QString &reason);
void ReportFileFault(qint32 msgId, const QString &fileName, const QString &reason);
// A change the reader asked for cannot be stored in the program's own folder,
// which this user may not write (a system-wide install): which folder and why.
void ReportReadOnlyProgramFolder(const QString &folder, const QString &reason);
// Leaves the trace of an error ignored at `where` in lcErrors.
void NoteIgnoredError(const std::exception &e, CallSite where = CallSite::here());
} // namespace Bug_

using Bug_::Assert;
using Bug_::AssertFailed;
using Bug_::ShowUnexpectedError;

// Runs a handler body; an error it raises becomes the current error and is
// reported under the routine's trace name. Returns false when an error was reported.
template <typename F> bool TrapErrors(const QString &routine, const QString &extraText, F &&body)
{
    try {
        std::forward<F>(body)();
        return true;
    } catch (const RuntimeError &e) {
        Err().SetFrom(e);
    } catch (const std::exception &e) {
        Err().SetFrom(e);
    }
    ShowUnexpectedError(routine, extraText);
    return false;
}

template <typename F> bool TrapErrors(const QString &routine, F &&body)
{
    return TrapErrors(routine, QString(), std::forward<F>(body));
}

// Runs a body whose errors are to be ignored (handlers that run often or in the
// background); an error leaves only its trace in lcErrors, naming the caller.
// Returns false when an error occurred.
template <typename F> bool IgnoreErrors(F &&body, CallSite where = CallSite::here())
{
    try {
        std::forward<F>(body)();
        return true;
    } catch (const std::exception &e) {
        // A RuntimeError among them is noted by its number (ErrorState::SetFrom).
        Bug_::NoteIgnoredError(e, where);
    }
    return false;
}

// For handlers that run every step and report the first failure once at the end.
class DeferredErrors
{
public:
    explicit DeferredErrors(QString routine)
        : m_routine(std::move(routine))
    {
    }
    DeferredErrors(const DeferredErrors &) = delete;
    DeferredErrors &operator=(const DeferredErrors &) = delete;

    template <typename F> void step(F &&body)
    {
        try {
            std::forward<F>(body)();
        } catch (const RuntimeError &e) {
            remember(e);
        } catch (const std::exception &e) {
            remember(e);
        }
    }
    bool failed() const { return m_failed; }
    // Reports the first failure, if any; called once after the last step.
    void report();
    ~DeferredErrors() { report(); }

private:
    template <typename E> void remember(const E &e)
    {
        if (!m_failed) {
            m_failed = true;
            m_first.SetFrom(e);
        }
    }
    QString m_routine;
    bool m_failed = false;
    bool m_reported = false;
    ErrorState m_first;
};
