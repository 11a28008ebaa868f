#pragma once

#include <QString>
#include <functional>

class QWidget;
class RichTextBox;

// The search workspace's document as the windows beside the workspace reach it:
// page setup lays its pane out, the print preview shows and prints it, the
// bookmarks save and load it. The workspace sits beside those windows, so it
// registers here how its document is reached.
class WorkspaceDocument
{
public:
    struct Access
    {
        // The document pane (RT); loads the workspace, hidden, when it is not loaded.
        std::function<RichTextBox *()> pane;
        // The workspace window, loaded as the pane is.
        std::function<QWidget *()> window;
        // Enables the workspace's Edit > Wrap Text.
        std::function<void()> enableWrapText;
        // The workspace's question about unsaved changes (AskToSave): 2 after Yes
        // (Save As ran; the document is still changed when it was cancelled),
        // 0 after No, -1 after Cancel.
        std::function<int()> askToSave = {};
        // Shows a bookmark's document in the workspace (the bookmark list's Go
        // to): its text, the file that File > Save writes to and the caption, in
        // one step, and the workspace in front, shown if it was not. Raises
        // RuntimeError when the file cannot be read.
        std::function<void(const QString &path)> showFile = {};
        // A file was renamed (a bookmark's document): when the workspace shows
        // it, File > Save follows it.
        std::function<void(const QString &from, const QString &to)> fileRenamed = {};
        // A file was deleted with its bookmark: when the workspace shows it, the
        // text stays as notes without a file, and nothing writes that file again.
        std::function<void(const QString &path)> fileDeleted = {};
        // Writes the document as RTF to a file (a bookmark's Add and Update)
        // without making it the document's file: the document stays changed
        // unless that is its own file. False after the workspace said why not.
        std::function<bool(const QString &path)> saveCopy = {};
        // Writes the document as RTF to a new file (a bookmark's Add): the first
        // of names(1), names(2), ... that no file has and `taken` does not
        // refuse, made without replacing a file that another writer made
        // meanwhile. The document is that file's then, as Go to shows it:
        // unchanged, and Save writes there. The path written; empty after the
        // workspace said why it could not be written.
        std::function<QString(const std::function<QString(int number)> &names,
                              const std::function<bool(const QString &path)> &taken)>
            saveNew = {};
        // Before the program ends: when the workspace is loaded with unsaved
        // changes, its question (Yes saves, No discards). False when the program
        // is to go on (Cancel, or the save was cancelled or failed).
        std::function<bool()> mayEndProgram = {};
    };

    // An access without a pane removes the registration.
    static void Register(Access access);
    static bool IsRegistered();
    // The registration; raises RuntimeError 91 when there is none.
    static const Access &Get();
};
