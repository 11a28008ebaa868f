#pragma once

#include <functional>

// Windows that the core must open but cannot know: the window layer registers
// them at start.
namespace CoreHooks {
// Shows the modal no-Bible dialog (which ends the program when it closes).
void ShowNoBiblesDialog();
void SetNoBiblesDialog(std::function<void()> show);
} // namespace CoreHooks
