#pragma once

#include <QDateTime>
#include <QFont>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class QPrinter;
class QWidget;

// Message-box styles and answers, with the runtime's numbers.
namespace MsgBoxStyle {
constexpr int OKOnly = 0;
constexpr int OKCancel = 1;
constexpr int AbortRetryIgnore = 2;
constexpr int YesNoCancel = 3;
constexpr int YesNo = 4;
constexpr int RetryCancel = 5;
constexpr int Critical = 16;
constexpr int Question = 32;
constexpr int Exclamation = 48;
constexpr int Information = 64;
constexpr int DefaultButton2 = 256;
constexpr int DefaultButton3 = 512;
constexpr int ButtonsMask = 0x0F;
constexpr int IconMask = 0x70;
} // namespace MsgBoxStyle

namespace MsgBoxResult {
constexpr int OK = 1;
constexpr int Cancel = 2;
constexpr int Abort = 3;
constexpr int Retry = 4;
constexpr int Ignore = 5;
constexpr int Yes = 6;
constexpr int No = 7;
} // namespace MsgBoxResult

// Thrown by a desktop that must not end the process (tests) when the program ends itself.
struct ProgramEnded
{
    int exitCode = 0;
};

// What the print dialog offers. The dialog sets the printer: the printer itself,
// the range (all pages or a page range) and the pages. A selection is never
// printed on its own, so the dialog does not offer it.
struct PrintDialogOptions
{
    QString title;
    // The last page a range may name; 0 when not known.
    int pageCount = 0;
};

// Everything the program asks of the desktop: modal questions, the clock, the wait
// cursor, the shell and ending the process. The running program uses the Qt
// implementation; tests install one that records and answers from a script.
class Desktop
{
public:
    virtual ~Desktop() = default;

    // Returns one of MsgBoxResult. An empty title shows the application title.
    virtual int messageBox(const QString &text, int style, const QString &title) = 0;
    // The text typed, or nullopt when the user cancelled.
    virtual std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                            const QString &defaultText) = 0;
    // An empty string when the user cancelled.
    virtual QString openFileName(const QString &title, const QString &folder, const QString &filter) = 0;
    // confirmOverwrite false: the caller asks its own question about an existing file.
    virtual QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                                 bool confirmOverwrite = true) = 0;
    virtual QString folderName(const QString &title, const QString &folder) = 0;
    // A colour as 0x00BBGGRR, or nullopt when the user cancelled.
    virtual std::optional<quint32> chooseColor(quint32 initial) = 0;
    // Shows the print dialog for the printer; false when the user cancelled.
    virtual bool printDialog(QPrinter &printer, const PrintDialogOptions &options) = 0;
    // The font dialog, its preview showing the first line of the sample text; nullopt
    // when the user cancelled.
    virtual std::optional<QFont> chooseFont(const QFont &initial, const QString &sampleText) = 0;

    virtual QDateTime now() = 0;
    virtual void setWaitCursor(bool on) = 0;
    // Has the desktop open an address or a file with the program set up for it.
    // `failed` runs on the GUI thread when no program could open it; the desktop
    // may learn that only later, and the program goes on meanwhile.
    virtual void openUrl(const QString &url, std::function<void()> failed) = 0;
    virtual void openFile(const QString &path, std::function<void()> failed) = 0;
    // Starts another program; false when it could not be started.
    virtual bool startProgram(const QString &program, const QStringList &arguments) = 0;

    // Ends the program at once; no other window's unload handler runs.
    [[noreturn]] virtual void endProgram(int exitCode) = 0;
};

Desktop &desktop();
// Replaces the desktop; returns the previous one.
std::unique_ptr<Desktop> setDesktop(std::unique_ptr<Desktop> replacement);

// Shows the wait cursor for its lifetime.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};
