#pragma once

#include "platform/Desktop.h"

#include <QList>
#include <QPrinter>
#include <QStringList>
#include <deque>

// A desktop for tests: records every question and answers from a script.
// Nothing modal is ever shown.
class TestDesktop : public Desktop
{
public:
    struct Shown
    {
        QString kind; // "msgbox", "inputbox", "open", "save", "folder", "color", "print", "font"
        QString text;
        QString title;
        int style = 0;
    };

    // How the print dialog is answered: the range chosen and, when a file is
    // named, printing to that PDF file.
    struct PrintAnswer
    {
        QPrinter::PrintRange range = QPrinter::AllPages;
        int from = 0;
        int to = 0;
        QString pdfFile;
    };

    QList<Shown> shown;
    QList<PrintDialogOptions> printDialogs;
    QStringList openedUrls;
    QStringList openedFiles;
    QStringList startedPrograms;
    std::deque<int> messageBoxAnswers;                   // default: the first button
    std::deque<std::optional<QString>> inputAnswers;     // default: cancel
    std::deque<QString> fileAnswers;                     // default: cancel
    std::deque<std::optional<quint32>> colorAnswers;     // default: cancel
    std::deque<std::optional<PrintAnswer>> printAnswers; // default: cancel
    QPageSize printPaper;                                // chosen by the print dialogs answered, when valid
    std::deque<std::optional<QFont>> fontAnswers;        // default: cancel
    QList<QFont> fontsOffered;                           // the initial font of each font dialog
    QDateTime clock = QDateTime(QDate(2024, 1, 1), QTime(12, 0));
    bool canOpen = true; // whether openUrl/openFile/startProgram succeed (failing at once)
    int waitCursorDepth = 0;
    int waitCursorShown = 0; // how often it was switched on

    int messageBox(const QString &text, int style, const QString &title) override;
    std::optional<QString> inputBox(const QString &prompt, const QString &title,
                                    const QString &defaultText) override;
    QString openFileName(const QString &title, const QString &folder, const QString &filter) override;
    QString saveFileName(const QString &title, const QString &folder, const QString &filter,
                         bool confirmOverwrite = true) override;
    QString folderName(const QString &title, const QString &folder) override;
    std::optional<quint32> chooseColor(quint32 initial) override;
    bool printDialog(QPrinter &printer, const PrintDialogOptions &options) override;
    std::optional<QFont> chooseFont(const QFont &initial, const QString &sampleText) override;
    QDateTime now() override { return clock; }
    void setWaitCursor(bool on) override;
    void openUrl(const QString &url, std::function<void()> failed) override;
    void openFile(const QString &path, std::function<void()> failed) override;
    bool startProgram(const QString &program, const QStringList &arguments) override;
    [[noreturn]] void endProgram(int exitCode) override;

    // Message boxes shown so far.
    QList<Shown> messageBoxes() const;
    QString lastMessage() const;

    static int defaultAnswer(int style);

private:
    QString nextFileAnswer(const QString &kind, const QString &title);
};

// Installs a TestDesktop for the lifetime of the guard and restores the previous one.
class TestDesktopScope
{
public:
    TestDesktopScope();
    ~TestDesktopScope();
    TestDesktop &operator*() { return *m_desktop; }
    TestDesktop *operator->() { return m_desktop; }

private:
    TestDesktop *m_desktop;
    std::unique_ptr<Desktop> m_previous;
};
