#include "host/InputWatch_win.h"

#include "host/Watchdog.h"

InputWatch* InputWatch::watching_ = nullptr;

namespace {

class Locked {
public:
    explicit Locked(CRITICAL_SECTION& lock) : lock_(lock) { EnterCriticalSection(&lock_); }
    ~Locked() { LeaveCriticalSection(&lock_); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;

private:
    CRITICAL_SECTION& lock_;
};

}  // namespace

InputWatch::InputWatch() : ready_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    InitializeCriticalSection(&lock_);
    // Not waited for here: the hooks are set while the first screensaver starts.
    if (ready_) thread_.reset(CreateThread(nullptr, 0, Run, this, 0, &threadId_));
}

InputWatch::~InputWatch() {
    if (thread_) {
        // A quit posted before the thread has its queue would be lost.
        WaitForSingleObject(ready_.get(), INFINITE);
        PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_.get(), INFINITE);
    }
    DeleteCriticalSection(&lock_);
}

DWORD WINAPI InputWatch::Run(void* self) {
    auto& watch = *static_cast<InputWatch*>(self);
    MSG msg;
    // The queue exists before the constructor returns, so the quit posted later is not lost.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    watching_ = &watch;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    const HHOOK keyboard = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, instance, 0);
    const HHOOK mouse = SetWindowsHookExA(WH_MOUSE_LL, MouseHook, instance, 0);
    watch.hooked_ = keyboard && mouse;
    SetEvent(watch.ready_.get());
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (mouse) UnhookWindowsHookEx(mouse);
    if (keyboard) UnhookWindowsHookEx(keyboard);
    watching_ = nullptr;
    return 0;
}

void InputWatch::Rest() {
    POINT at = {};
    Locked held(lock_);
    acted_ = false;
    pointer_ = PointerWatch();
    if (GetCursorPos(&at)) pointer_.Rest(at.x, at.y);
}

bool InputWatch::UserActed(uint32_t restTick) {
    if (thread_) WaitForSingleObject(ready_.get(), INFINITE);
    if (hooked_) {
        Locked held(lock_);
        return acted_;
    }
    LASTINPUTINFO info = {};
    info.cbSize = sizeof info;
    return GetLastInputInfo(&info) && InputSince(restTick, info.dwTime);
}

LRESULT CALLBACK InputWatch::KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && watching_ && (wParam == WM_KEYDOWN || wParam == WM_SYSKEYDOWN)) {
        Locked held(watching_->lock_);
        watching_->acted_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK InputWatch::MouseHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && watching_) {
        const auto* event = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        Locked held(watching_->lock_);
        if (wParam != WM_MOUSEMOVE || watching_->pointer_.Moved(event->pt.x, event->pt.y)) watching_->acted_ = true;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}
