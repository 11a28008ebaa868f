#pragma once

#include <QFont>
#include <QString>
#include <functional>

class QTextEdit;
class QWidget;

// The windows of other parts of the program that the main window's menus open or
// whose positions it saves. Those parts sit above the window layer, so each
// window registers here how it is reached; until it has, its menu item stays
// disabled.
class MenuTargets
{
public:
    enum Target {
        BookmarkList,
        AdvancedSearch,
        MultiBib,
        Commentaries,
        Dictionary,
        NameDictionary,
        TLNotes,
        MapViewer,
        MP3,
        CHM,
        Options,
        DateFormat,
        LanguageEditor,
        FolderChooser,
        PageSetup,
        PrintPreview,
        TargetCount
    };

    struct Window
    {
        // The default instance, created (and loaded hidden) on first use; a window
        // that opens itself may return nullptr when it had nothing to show.
        std::function<QWidget *()> instance;
        // The default instance when it is loaded; nullptr otherwise, without loading it.
        std::function<QWidget *()> loaded;
        // Shows the window modally (dialogs); empty for modeless windows.
        std::function<void()> showModal;
    };

    // An empty window (no function set) removes the registration.
    static void Register(Target target, Window window);
    static bool IsRegistered(Target target);
    // The registration; raises RuntimeError 91 when the target has none.
    static const Window &Get(Target target);
    // The loaded window, or nullptr when it is not registered or not loaded.
    static QWidget *Loaded(Target target);
    // Forgets every registration (tests).
    static void Clear();

    // The font chooser: gets a font and a sample text, returns the chosen font or
    // the given one when the reader cancels. An empty function removes it.
    using FontChooserFn = std::function<QFont(const QFont &font, const QString &sampleText, QWidget *parent)>;
    static void RegisterFontChooser(FontChooserFn chooser);
    // The registered chooser's answer; without one, the fallback's.
    static QFont ChooseFont(const QFont &font, const QString &sampleText, QWidget *parent,
                            const FontChooserFn &fallback);

    // The print preview of any pane's document: shows it page by page and prints
    // it when the reader asks; printing is refused while `owner` is minimised. An
    // empty function removes it.
    using PanePreviewFn = std::function<void(QTextEdit &pane, QWidget *owner)>;
    static void RegisterPanePreview(PanePreviewFn preview);
    // Raises RuntimeError 91 when no preview is registered.
    static void PreviewPane(QTextEdit &pane, QWidget *owner);
};
