#include "host/InputWatch_win.h"

#include <condition_variable>

#include "host/Watchdog.h"

InputWatch* InputWatch::watching_ = nullptr;

InputWatch::InputWatch() {
    std::unique_lock<std::mutex> held(lock_);
    std::condition_variable started;
    bool ready = false;
    thread_ = std::thread([&] {
        MSG msg;
        // The queue exists before the thread id is handed out, so the quit posted later is not lost.
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        {
            std::lock_guard<std::mutex> starting(lock_);
            threadId_ = GetCurrentThreadId();
            ready = true;
        }
        started.notify_one();
        Run();
    });
    started.wait(held, [&] { return ready; });
}

InputWatch::~InputWatch() {
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void InputWatch::Run() {
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    watching_ = this;
    const HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, instance, 0);
    const HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, instance, 0);
    {
        std::lock_guard<std::mutex> held(lock_);
        hooked_ = keyboard && mouse;
    }
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (mouse) UnhookWindowsHookEx(mouse);
    if (keyboard) UnhookWindowsHookEx(keyboard);
    watching_ = nullptr;
}

void InputWatch::Rest() {
    POINT at = {};
    std::lock_guard<std::mutex> held(lock_);
    acted_ = false;
    pointer_ = PointerWatch();
    if (GetCursorPos(&at)) pointer_.Rest(at.x, at.y);
}

bool InputWatch::UserActed(uint32_t restTick) const {
    LASTINPUTINFO info = {};
    info.cbSize = sizeof info;
    std::lock_guard<std::mutex> held(lock_);
    if (hooked_) return acted_;
    return GetLastInputInfo(&info) && InputSince(restTick, info.dwTime);
}

LRESULT CALLBACK InputWatch::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && watching_ && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
        std::lock_guard<std::mutex> held(watching_->lock_);
        watching_->acted_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputWatch::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && watching_) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        std::lock_guard<std::mutex> held(watching_->lock_);
        if (wParam != WM_MOUSEMOVE || watching_->pointer_.Moved(event->pt.x, event->pt.y)) watching_->acted_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
