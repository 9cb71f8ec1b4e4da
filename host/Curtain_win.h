// The black window a full-screen run keeps behind its screensavers, so that the desktop never shows
// between one screensaver closing and the next covering the screen. It covers every monitor, hides
// the pointer, stays topmost and is shown without taking activation, so the foreground window still
// tells whether a screensaver came to the front. Plain user32: nothing of the window toolkit.
#pragma once

#include <windows.h>

#include "app/PointerWatch.h"

class Curtain {
public:
    Curtain() = default;
    ~Curtain();
    Curtain(const Curtain&) = delete;
    Curtain& operator=(const Curtain&) = delete;

    // Makes the window and shows it above every other window, yet beneath the top window of the
    // process `beneath` when that one already shows a window, and around it; false when it cannot
    // be made.
    bool Show(DWORD beneath = 0);
    // Back above every window and the foreground window: once a screensaver is found in front and
    // about to close, or has ended. Closing the active window activates the next one below it, and
    // Wine without a window manager then raises that window above every topmost one; a key press
    // meanwhile reaches the curtain.
    void Cover();
    // Only moves beyond the slop from where the pointer is now count (a screensaver may have seen
    // the pointer drift meanwhile).
    void RestPointer();
    // A mouse move beyond the slop, a click or a key reached the curtain since it was shown.
    bool UserCameBack() const { return userBack_; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND window_ = nullptr;
    PointerWatch pointer_;
    bool userBack_ = false;
    bool holed_ = false;  // the first screensaver's part of the screen is left out
};
