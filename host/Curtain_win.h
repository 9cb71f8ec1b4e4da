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

    // Makes the window and shows it above every other window; false when it cannot be made.
    bool Show();
    // Back above every window (a screensaver about to close included), without activation.
    void Raise() const;
    // Takes the keyboard: only while no screensaver runs, so that a key press reaches the curtain.
    void Activate() const;
    // The next mouse move marks where the pointer rests again (a screensaver covered the curtain).
    void RestPointer() { pointer_ = PointerWatch(); }
    // A mouse move beyond the slop, a click or a key reached the curtain since it was shown.
    bool UserCameBack() const { return userBack_; }
    HWND Window() const { return window_; }

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND window_ = nullptr;
    PointerWatch pointer_;
    bool userBack_ = false;
};
