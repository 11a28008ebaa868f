#pragma once

#include "platform/DefaultInstance.h"
#include "platform/Seams.h"

#include <functional>

// Opens a dialog's default instance modally. Tests replace the opening so that
// nothing waits for a person; replace(nullptr) puts the real one back.
template <typename T> class ModalOpener
{
public:
    static void show() { opener()(); }
    // Returns the opening that was in place.
    static std::function<void()> replace(std::function<void()> show)
    {
        Seams::OnReset(&opener(), [] { opener() = &runModal; });
        std::function<void()> previous = opener();
        opener() = show ? std::move(show) : std::function<void()>(&runModal);
        return previous;
    }

private:
    static void runModal() { DefaultInstance<T>::get().exec(); }
    static std::function<void()> &opener()
    {
        static std::function<void()> show = &runModal;
        return show;
    }
};
