#pragma once

#include <functional>

class QWidget;

// Windows that the core must open but cannot know: the window layer registers
// them at start.
namespace CoreHooks {
// Shows the modal no-Bible dialog (which ends the program when it closes).
void ShowNoBiblesDialog();
void SetNoBiblesDialog(std::function<void()> show);
// Creates the main window, shows it modeless and returns it; nullptr when no
// window layer is registered (the program then ends after start-up).
QWidget *ShowMainWindow();
void SetMainWindow(std::function<QWidget *()> createAndShow);
} // namespace CoreHooks
