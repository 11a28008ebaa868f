#include "mainwindow/MenuTargets.h"

#include "platform/RuntimeError.h"
#include "platform/Seams.h"

#include <array>

namespace {
std::array<MenuTargets::Window, MenuTargets::TargetCount> &table()
{
    static std::array<MenuTargets::Window, MenuTargets::TargetCount> windows;
    return windows;
}

MenuTargets::FontChooserFn &fontChooser()
{
    static MenuTargets::FontChooserFn chooser;
    return chooser;
}

MenuTargets::PanePreviewFn &panePreview()
{
    static MenuTargets::PanePreviewFn preview;
    return preview;
}

bool inRange(MenuTargets::Target target)
{
    return target >= 0 && target < MenuTargets::TargetCount;
}
} // namespace

void MenuTargets::Register(Target target, Window window)
{
    Seams::OnReset(&table(), &MenuTargets::Clear);
    if (inRange(target))
        table()[target] = std::move(window);
}

bool MenuTargets::IsRegistered(Target target)
{
    if (!inRange(target))
        return false;
    const Window &window = table()[target];
    return window.instance || window.showModal;
}

const MenuTargets::Window &MenuTargets::Get(Target target)
{
    if (!IsRegistered(target))
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.MenuTargets.Get"),
                   QStringLiteral("The window is not available."));
    return table()[target];
}

QWidget *MenuTargets::Loaded(Target target)
{
    if (!inRange(target) || !table()[target].loaded)
        return nullptr;
    return table()[target].loaded();
}

void MenuTargets::Clear()
{
    table().fill(Window{});
    fontChooser() = nullptr;
    panePreview() = nullptr;
}

void MenuTargets::RegisterFontChooser(FontChooserFn chooser)
{
    fontChooser() = std::move(chooser);
}

QFont MenuTargets::ChooseFont(const QFont &font, const QString &sampleText, QWidget *parent,
                              const FontChooserFn &fallback)
{
    if (fontChooser())
        return fontChooser()(font, sampleText, parent);
    return fallback ? fallback(font, sampleText, parent) : font;
}

void MenuTargets::RegisterPanePreview(PanePreviewFn preview)
{
    Seams::OnReset(&panePreview(), &MenuTargets::Clear);
    panePreview() = std::move(preview);
}

void MenuTargets::PreviewPane(QTextEdit &pane, QWidget *owner)
{
    if (!panePreview())
        raiseError(RtErr::ObjectNotSet, QStringLiteral("Verbanox.MenuTargets.PreviewPane"),
                   QStringLiteral("The print preview is not available."));
    panePreview()(pane, owner);
}
