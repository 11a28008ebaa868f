#pragma once

#include "platform/Seams.h"

#include <QObject>
#include <QPointer>

// The one default instance of a window class: created (and loaded) on first use,
// forgotten when the window is destroyed, so that the next use loads it anew.
template <typename T> class DefaultInstance
{
public:
    static T &get()
    {
        if (!pointer()) {
            Seams::OnRelease(&pointer(), &release);
            T *created = new T();
            pointer() = created;
        }
        return *pointer();
    }
    static bool exists() { return !pointer().isNull(); }
    static T *peek() { return pointer().data(); }
    // Destroys the instance now (the window unloads).
    static void release()
    {
        T *instance = pointer().data();
        pointer() = nullptr;
        delete instance;
    }

private:
    static QPointer<T> &pointer()
    {
        static QPointer<T> instance;
        return instance;
    }
};
