// A small program that links the diagnostics and fails on request, for the report tests.
// Usage: crashprobe ACTION APPMODE INFOFILE
//   fault     an access violation reading address 0, inside a start-up guard
//   throw     a program exception whose message holds markup, inside a start-up guard
//   foreign   a std::runtime_error thrown inside a start-up guard, which lets it pass
//   noexcept  an access violation inside a function that cannot throw
//   reenter   a guarded failure inside a window procedure while the report's message box is up
// INFOFILE receives "name=address" lines of the functions involved, in hex, before the failure.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "diag/Report_win.h"

namespace {

std::string infoFile;

void Note(const char* name, const void* address) {
    if (FILE* f = std::fopen(infoFile.c_str(), "a")) {
        std::fprintf(f, "%s=%llX\n", name, static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(address)));
        std::fclose(f);
    }
}

__attribute__((noinline)) int ReadThrough(const volatile int* p) { return *p + 1; }

// Calls through a pointer the optimiser cannot see through, so the fault happens in ReadThrough
// and this function is its caller.
__attribute__((noinline)) void ReadNull() {
    int (*volatile read)(const volatile int*) = ReadThrough;
    volatile int result = read(nullptr);
    (void)result;
}

__attribute__((noinline)) void ThrowMarkup() {
    throw Exception("Cannot open C:\\a&b\\</TEXTAREA><script>alert(\"x\")</script>");
}

__attribute__((noinline)) void ThrowForeign() { throw std::runtime_error("not ours"); }

__attribute__((noinline)) void ReadNullNoexcept() noexcept {
    int (*volatile read)(const volatile int*) = ReadThrough;
    volatile int result = read(nullptr);
    (void)result;
}

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        KillTimer(hwnd, 1);
        RunGuarded(kModeStartupGuard, [] { throw Exception("second failure"); });
        return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

void ArmSecondFailure() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = ProbeWindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantoraCrashProbe";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowA("VantoraCrashProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
    SetTimer(hwnd, 1, 500, nullptr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    const std::string action = argv[1];
    AppMode = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    infoFile = argv[3];
    Note("ReadThrough", reinterpret_cast<const void*>(&ReadThrough));
    Note("ReadNull", reinterpret_cast<const void*>(&ReadNull));
    Note("ThrowMarkup", reinterpret_cast<const void*>(&ThrowMarkup));
    Note("ReadNullNoexcept", reinterpret_cast<const void*>(&ReadNullNoexcept));
    InstallExceptionHooks();

    if (action == "fault") {
        RunGuarded(kModeStartupGuard, [] { ReadNull(); });
    } else if (action == "throw") {
        RunGuarded(kModeStartupGuard, [] { ThrowMarkup(); });
    } else if (action == "foreign") {
        RunGuarded(kModeStartupGuard, [] { ThrowForeign(); });
    } else if (action == "noexcept") {
        RunGuarded(kModeStartupGuard, [] { ReadNullNoexcept(); });
    } else if (action == "reenter") {
        ArmSecondFailure();
        RunGuarded(kModeStartupGuard, [] { ThrowMarkup(); });
    } else {
        return 2;
    }
    return 1;  // every action ends in a report
}
