#pragma once

#include "mainwindow/MenuTargets.h"
#include "platform/DefaultInstance.h"

#include <QWidget>

// The one opener of a study window: creates and loads the default instance on
// first use, then shows it, restores it from minimised and brings it to the
// front. A window whose load finds nothing to show has said so and closed itself;
// no window is left behind then and the opener returns nullptr.
template <typename T> class StudyOpener
{
public:
    static T *Open()
    {
        if (!DefaultInstance<T>::exists()) {
            T &window = DefaultInstance<T>::get();
            bool loaded = false;
            try {
                loaded = window.Form_Load();
            } catch (...) {
                DefaultInstance<T>::release();
                throw;
            }
            if (!loaded) {
                DefaultInstance<T>::release();
                return nullptr;
            }
        }
        T *window = DefaultInstance<T>::peek();
        window->KeepOpen();
        window->setVisible(true);
        window->setWindowState(window->windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized));
        window->raise();
        window->activateWindow();
        return window;
    }

    // Lets the main window's menus open the window and save its position at exit.
    static void Register(MenuTargets::Target target)
    {
        MenuTargets::Register(target, {[]() -> QWidget * { return Open(); },
                                       []() -> QWidget * { return DefaultInstance<T>::peek(); },
                                       {}});
    }
};
