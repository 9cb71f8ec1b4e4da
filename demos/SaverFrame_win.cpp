#include "demos/SaverFrame_win.h"

#include <windowsx.h>

#include <cstdint>
#include <string>

#include "app/CommandLine.h"
#include "app/Handles.h"
#include "app/PointerWatch.h"
#include "app/Random.h"
#include "demos/DemoMath.h"

namespace {

constexpr char kClassName[] = "VantoraDemoSaver";
constexpr UINT_PTR kFrameTimer = 1;
constexpr UINT kFrameMs = 33;
// A step after a stall (a dragged preview, a busy machine) is cut short rather than jumping.
constexpr double kLongestStep = 0.1;

// The frame drawn next, kept off screen so the window only ever receives whole frames.
class BackBuffer {
public:
    ~BackBuffer() { Release(); }

    bool Resize(HDC screen, int width, int height) {
        if (dc_ && width == width_ && height == height_) return false;
        Release();
        width_ = width;
        height_ = height;
        dc_.reset(CreateCompatibleDC(screen));
        bitmap_.reset(CreateCompatibleBitmap(screen, width, height));
        if (dc_ && bitmap_) oldBitmap_ = SelectObject(dc_.get(), bitmap_.get());
        return true;
    }

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }

    void Release() {
        // The bitmap must leave the DC before either can be deleted.
        if (oldBitmap_) SelectObject(dc_.get(), oldBitmap_);
        oldBitmap_ = nullptr;
        bitmap_.reset();
        dc_.reset();
        width_ = height_ = 0;
    }

private:
    UniqueHdc dc_;
    UniqueHBitmap bitmap_;
    HGDIOBJ oldBitmap_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

struct FrameState {
    SaverArt* art = nullptr;
    bool fullScreen = false;
    HWND parent = nullptr;
    PointerWatch pointer;
    LARGE_INTEGER lastTick{};
    LARGE_INTEGER tickFrequency{};
    BackBuffer buffer;
};

FrameState& State() {
    static FrameState state;
    return state;
}

HWND AsWindow(int32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

std::string ModuleString(HINSTANCE instance, UINT id) {
    char text[512] = {};
    return LoadStringA(instance, id, text, sizeof text) > 0 ? text : "";
}

double SecondsSinceLastFrame() {
    FrameState& s = State();
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    const double seconds = static_cast<double>(now.QuadPart - s.lastTick.QuadPart) / s.tickFrequency.QuadPart;
    s.lastTick = now;
    return seconds < 0.0 ? 0.0 : seconds < kLongestStep ? seconds : kLongestStep;
}

void MatchSize(HWND hwnd, int width, int height) {
    FrameState& s = State();
    if (width <= 0 || height <= 0) return;
    HDC screen = GetDC(hwnd);
    const bool changed = s.buffer.Resize(screen, width, height);
    ReleaseDC(hwnd, screen);
    if (changed) s.art->Resize(width, height);
}

void OnFrameTimer(HWND hwnd) {
    FrameState& s = State();
    // The preview box may be closed or resized by its owner at any time.
    if (s.parent) {
        if (!IsWindow(s.parent)) {
            DestroyWindow(hwnd);
            return;
        }
        RECT client{};
        GetClientRect(s.parent, &client);
        if (client.right != s.buffer.width() || client.bottom != s.buffer.height()) {
            MoveWindow(hwnd, 0, 0, client.right, client.bottom, FALSE);
        }
    }
    const double seconds = SecondsSinceLastFrame();
    if (!s.buffer.dc()) return;
    s.art->Draw(s.buffer.dc(), seconds);
    InvalidateRect(hwnd, nullptr, FALSE);
}

void OnPaint(HWND hwnd) {
    FrameState& s = State();
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    if (s.buffer.dc()) {
        BitBlt(hdc, 0, 0, s.buffer.width(), s.buffer.height(), s.buffer.dc(), 0, 0, SRCCOPY);
    }
    EndPaint(hwnd, &ps);
}

void OnMouseMove(HWND hwnd, int x, int y) {
    if (State().pointer.Moved(x, y)) PostMessageA(hwnd, WM_CLOSE, 0, 0);
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    FrameState& s = State();
    switch (message) {
        case WM_CREATE:
            SetTimer(hwnd, kFrameTimer, kFrameMs, nullptr);
            return 0;
        case WM_SIZE:
            MatchSize(hwnd, LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_TIMER:
            if (wParam == kFrameTimer) OnFrameTimer(hwnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_PAINT:
            OnPaint(hwnd);
            return 0;
        case WM_SETCURSOR:
            if (s.fullScreen) {
                SetCursor(nullptr);
                return TRUE;
            }
            break;
        case WM_MOUSEMOVE:
            if (s.fullScreen) OnMouseMove(hwnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            break;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
        case WM_XBUTTONDOWN:
            if (s.fullScreen) {
                PostMessageA(hwnd, WM_CLOSE, 0, 0);
                return 0;
            }
            break;
        case WM_SYSCOMMAND:
            // Windows would start the screensaver again on top of this one.
            if ((wParam & 0xFFF0) == SC_SCREENSAVE) return 0;
            break;
        case WM_DESTROY:
            KillTimer(hwnd, kFrameTimer);
            s.buffer.Release();
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    try {
        return HandleMessage(hwnd, message, wParam, lParam);
    } catch (...) {
        // No exception may unwind through the system's dispatcher; ending the saver is the safe way out.
        PostQuitMessage(1);
        return 0;
    }
}

int RunWindow(HINSTANCE instance, HWND parent) {
    FrameState& s = State();
    s.fullScreen = parent == nullptr;
    s.parent = parent;
    QueryPerformanceFrequency(&s.tickFrequency);
    QueryPerformanceCounter(&s.lastTick);
    SeedRandom(GetTickCount());

    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hIcon = LoadIconA(instance, MAKEINTRESOURCEA(500));
    wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
    wc.lpszClassName = kClassName;
    if (!RegisterClassA(&wc)) return 1;

    const std::string title = ModuleString(instance, 1);
    HWND hwnd = nullptr;
    if (parent) {
        RECT client{};
        GetClientRect(parent, &client);
        hwnd = CreateWindowExA(0, kClassName, title.c_str(), WS_CHILD | WS_VISIBLE, 0, 0, client.right, client.bottom,
                               parent, nullptr, instance, nullptr);
    } else {
        hwnd = CreateWindowExA(WS_EX_TOPMOST, kClassName, title.c_str(), WS_POPUP | WS_VISIBLE,
                               GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                               GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN), nullptr,
                               nullptr, instance, nullptr);
    }
    if (!hwnd) return 1;
    if (s.fullScreen) {
        SetForegroundWindow(hwnd);
        ShowCursor(FALSE);
    }

    MSG msg;
    int result = 0;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    result = static_cast<int>(msg.wParam);
    if (s.fullScreen) ShowCursor(TRUE);
    return result;
}

void ShowSettingsMessage(HINSTANCE instance, HWND owner) {
    const std::string name = ModuleString(instance, 1);
    std::string text = ModuleString(instance, 2);
    if (!text.empty()) text += "\n\n";
    text += "This screensaver has no options.";
    MessageBoxA(owner, text.c_str(), name.c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace

int RunSaver(HINSTANCE instance, SaverArt& art) {
    State().art = &art;
    const CommandLine cl = ParseCommandLine(__argc > 1 ? __argv[1] : "", __argc > 2 ? __argv[2] : "");
    const HWND window = AsWindow(cl.windowArg);
    switch (ModeFor(cl.modeWord)) {
        case Mode::Settings:
            ShowSettingsMessage(instance, cl.windowArg != 0 && IsWindow(window) ? window : nullptr);
            return 0;
        case Mode::Preview:
            return cl.windowArg != 0 && IsWindow(window) ? RunWindow(instance, window) : 0;
        case Mode::FullScreen:
            return RunWindow(instance, nullptr);
        case Mode::ChangePassword:
        case Mode::None:
            break;
    }
    return 0;
}
