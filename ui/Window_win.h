// The edge between the system and the toolkit's window procedures: a failure inside a procedure is
// handed to the bug report there, and a window's state object is found through GWLP_USERDATA.
#pragma once

#include <windows.h>

#include "diag/Report_win.h"

// Runs the body of a window procedure under the settings-mode guard, so no exception reaches the
// system's message dispatch; a failure ends the process in the bug report.
template <typename F>
LRESULT GuardedProc(F&& body) noexcept {
    LRESULT result = 0;
    RunGuarded(kModeSettings, [&] { result = body(); });
    return result;
}

// A window whose state lives in a T. CreateWindowExA gets the T as its creation parameter; the
// pointer is stored at WM_NCCREATE and every message goes to T::HandleMessage, under the guard.
// After WM_NCDESTROY the window no longer knows the object and calls T::OnFinalMessage.
template <typename T>
class BaseWindow {
public:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
        T* self = nullptr;
        if (msg == WM_NCCREATE) {
            self = static_cast<T*>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams);
            if (self) {
                self->hwnd_ = hwnd;
                SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
            }
        } else {
            self = From(hwnd);
        }
        if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
        const LRESULT result = GuardedProc([&] { return self->HandleMessage(msg, wParam, lParam); });
        if (msg == WM_NCDESTROY) {
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            self->hwnd_ = nullptr;
            self->OnFinalMessage();
        }
        return result;
    }

    static T* From(HWND hwnd) { return reinterpret_cast<T*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA)); }
    HWND Window() const { return hwnd_; }

protected:
    void OnFinalMessage() {}
    HWND hwnd_ = nullptr;
};
