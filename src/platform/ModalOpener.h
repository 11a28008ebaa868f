#pragma once

#include "platform/DefaultInstance.h"
#include "platform/Seams.h"

#include <functional>

// Opens a dialog's default instance modally. Tests replace the opening so that
// nothing waits for a person; replace(nullptr) puts the real one back.
template <typename T> class ModalOpener
{
public:
    static void show() { opener().get()(); }
    // Returns the opening that was in place.
    static std::function<void()> replace(std::function<void()> show)
    {
        return opener().replace(std::move(show));
    }

private:
    static void runModal() { DefaultInstance<T>::get().exec(); }
    static Seam<std::function<void()>> &opener()
    {
        static Seam<std::function<void()>> show{&runModal};
        return show;
    }
};
