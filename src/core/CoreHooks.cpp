#include "core/CoreHooks.h"
#include "platform/Desktop.h"
#include "platform/Seams.h"

namespace {
Seam<std::function<void()>> &noBibles()
{
    static Seam<std::function<void()>> show{nullptr};
    return show;
}
Seam<std::function<QWidget *()>> &mainWindow()
{
    static Seam<std::function<QWidget *()>> createAndShow{nullptr};
    return createAndShow;
}
} // namespace

namespace CoreHooks {

QWidget *ShowMainWindow()
{
    const auto &createAndShow = mainWindow().get();
    return createAndShow ? createAndShow() : nullptr;
}

void SetMainWindow(std::function<QWidget *()> createAndShow)
{
    mainWindow().replace(std::move(createAndShow));
}

void ShowNoBiblesDialog()
{
    if (const auto &show = noBibles().get()) {
        show();
        return;
    }
    // Without the window layer there is nothing to read: say so and end.
    desktop().messageBox(QStringLiteral("No Bible module is installed."), 16, QString());
    desktop().endProgram(0);
}

void SetNoBiblesDialog(std::function<void()> show)
{
    noBibles().replace(std::move(show));
}

} // namespace CoreHooks
