#include "host/Curtain_win.h"

#include <windowsx.h>

#include "app/Handles.h"

namespace {

constexpr char kCurtainClass[] = "Vantora_Curtain";

// The top visible window of `process` in the z-order, or nullptr.
HWND TopWindowOf(DWORD process) {
    for (HWND window = GetTopWindow(nullptr); window; window = GetWindow(window, GW_HWNDNEXT)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == process && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

}  // namespace

Curtain::~Curtain() {
    if (window_) DestroyWindow(window_);
}

bool Curtain::Show(DWORD beneath) {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    wc.lpszClassName = kCurtainClass;
    // A second curtain in one process (the settings window's runs) finds the class registered.
    if (!RegisterClassA(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    // Every monitor: the virtual screen may start left of or above the primary one.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    const int width = GetSystemMetrics(SM_CXVIRTUALSCREEN), height = GetSystemMetrics(SM_CYVIRTUALSCREEN);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kCurtainClass, "", WS_POPUP, left, top, width, height,
                              nullptr, nullptr, instance, this);
    if (!window_) return false;
    RestPointer();
    const HWND saver = beneath ? TopWindowOf(beneath) : nullptr;
    RECT shown = {};
    if (saver && GetWindowRect(saver, &shown)) {
        // Wine without a window manager maps a new window above all others, whatever its place in
        // the z-order: the curtain leaves out the screensaver's part of the screen until Cover()
        // needs all of it.
        UniqueHRgn shape(CreateRectRgn(0, 0, width, height));
        const UniqueHRgn gap(CreateRectRgn(shown.left - left, shown.top - top, shown.right - left, shown.bottom - top));
        CombineRgn(shape.get(), shape.get(), gap.get(), RGN_DIFF);
        // The window owns the region once it is set.
        holed_ = SetWindowRgn(window_, shape.get(), FALSE) != 0;
        if (holed_) shape.release();
    }
    SetWindowPos(window_, saver ? saver : HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    // Painted at once, so no frame shows an empty window.
    UpdateWindow(window_);
    return true;
}

void Curtain::Cover() {
    if (!window_) return;
    if (holed_) holed_ = !SetWindowRgn(window_, nullptr, TRUE);
    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetForegroundWindow(window_);
    SetFocus(window_);
}

void Curtain::RestPointer() {
    POINT at = {};
    if (!window_ || !GetCursorPos(&at)) {
        pointer_ = PointerWatch();
        return;
    }
    // Mouse messages come in the curtain's client coordinates.
    ScreenToClient(window_, &at);
    pointer_.Rest(at.x, at.y);
}

LRESULT CALLBACK Curtain::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        SetWindowLongPtrA(hwnd, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<Curtain*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_MOUSEACTIVATE:
            // A click ends the run; it must not take the foreground from a screensaver meanwhile.
            if (self) self->userBack_ = true;
            return MA_NOACTIVATE;
        case WM_MOUSEMOVE:
            if (self && self->pointer_.Moved(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam))) self->userBack_ = true;
            return 0;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            if (self) self->userBack_ = true;
            return 0;
        case WM_CLOSE:
            // Only its owner ends it: the run decides when the desktop may show again.
            return 0;
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            if (self) self->window_ = nullptr;
            break;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}
