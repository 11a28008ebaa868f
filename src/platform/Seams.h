#pragma once

#include <functional>
#include <type_traits>
#include <utility>

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

// One replaceable piece of behaviour (a dialog's opening, a source of data, a
// clock): its standard value until a test replaces it. The first replacement
// registers the way back with OnReset, so ResetAll puts it back; no test restores
// it by hand. Keep a Seam in static storage (a function-local static).
template <typename T> class Seam
{
public:
    explicit Seam(T standard)
        : m_standard(std::move(standard))
        , m_value(m_standard)
    {
    }
    Seam(const Seam &) = delete;
    Seam &operator=(const Seam &) = delete;

    const T &get() const { return m_value; }
    // Puts a replacement in; an empty one puts the standard value back. Returns
    // the value that was in place.
    T replace(T value)
    {
        Seams::OnReset(this, [this] { m_value = m_standard; });
        T previous = std::move(m_value);
        m_value = isEmpty(value) ? m_standard : std::move(value);
        return previous;
    }

private:
    static bool isEmpty(const T &value)
    {
        if constexpr (std::is_constructible_v<bool, const T &>)
            return !static_cast<bool>(value);
        else
            return false;
    }
    T m_standard;
    T m_value;
};
