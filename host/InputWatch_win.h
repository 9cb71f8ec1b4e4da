// Whether the user touched the machine while a screensaver ran. The system's last-input time is not
// enough: under Wine a window that appears or goes away under a still pointer arrives as a mouse
// move, and counts as input. Low-level hooks on a thread of their own (so that no input ever waits
// for the rotation's polling) count a key, a button or a wheel anywhere, and a move further than the
// slop from where the pointer rested at the last Rest().
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/Handles.h"
#include "app/PointerWatch.h"

class InputWatch {
public:
    InputWatch();
    ~InputWatch();
    InputWatch(const InputWatch&) = delete;
    InputWatch& operator=(const InputWatch&) = delete;

    // From now on: the pointer rests where it is, and nothing has been seen yet.
    void Rest();
    // The user acted since the last Rest(), which was at `restTick`. Without hooks (they could not be
    // set) the system's last-input time decides.
    bool UserActed(uint32_t restTick);

private:
    static DWORD WINAPI Run(void* self);
    static LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam);

    static InputWatch* watching_;  // the one watch whose hooks are set
    CRITICAL_SECTION lock_;        // over pointer_ and acted_
    PointerWatch pointer_;
    bool acted_ = false;
    bool hooked_ = false;  // set before `ready_` is signalled
    UniqueHandle ready_;
    DWORD threadId_ = 0;
    UniqueHandle thread_;
};
