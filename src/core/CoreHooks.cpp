#include "core/CoreHooks.h"
#include "platform/Desktop.h"
#include "platform/Seams.h"

namespace {
std::function<void()> &noBibles()
{
    static std::function<void()> show;
    return show;
}
std::function<QWidget *()> &mainWindow()
{
    static std::function<QWidget *()> createAndShow;
    return createAndShow;
}
} // namespace

namespace CoreHooks {

QWidget *ShowMainWindow()
{
    return mainWindow() ? mainWindow()() : nullptr;
}

void SetMainWindow(std::function<QWidget *()> createAndShow)
{
    Seams::OnReset(&mainWindow(), [] { mainWindow() = nullptr; });
    mainWindow() = std::move(createAndShow);
}

void ShowNoBiblesDialog()
{
    if (noBibles()) {
        noBibles()();
        return;
    }
    // Without the window layer there is nothing to read: say so and end.
    desktop().messageBox(QStringLiteral("No Bible module is installed."), 16, QString());
    desktop().endProgram(0);
}

void SetNoBiblesDialog(std::function<void()> show)
{
    Seams::OnReset(&noBibles(), [] { noBibles() = nullptr; });
    noBibles() = std::move(show);
}

} // namespace CoreHooks
