#pragma once

#include <functional>

// The replaceable pieces of the program - dialog openers, hooks, registries and
// the default instances of windows - register how they go back to their first
// state, so that one call puts every one of them back (tests do, between cases).
namespace Seams {
// Registers a reset once per key (the address of the seam's state).
void OnReset(const void *key, std::function<void()> reset);
// Windows created on first use register their release here; ResetAll releases
// them before it resets the other seams, which they may still use as they go.
void OnRelease(const void *key, std::function<void()> release);
// Releases the windows, then resets every seam, in the order they registered.
void ResetAll();
} // namespace Seams
