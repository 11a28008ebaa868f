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
        // Makes a file the document's current file name, the one File > Save
        // writes to (the bookmark list's Go to opens a bookmark's document).
        std::function<void(const QString &)> setFileName = {};
    };

    // An access without a pane removes the registration.
    static void Register(Access access);
    static bool IsRegistered();
    // The registration; raises RuntimeError 91 when there is none.
    static const Access &Get();
};
