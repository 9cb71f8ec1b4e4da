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
#include "tests/fixtures/FixtureCore.h"

namespace {

__attribute__((noinline)) void ReadNullNoexcept() noexcept { ReadNull(); }

__attribute__((noinline)) void ThrowMarkup() {
    throw Exception("Cannot open C:\\a&b\\</TEXTAREA><script>alert(\"x\")</script>");
}

void ThrowForeign() { throw std::runtime_error("not ours"); }

LRESULT CALLBACK ProbeWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_TIMER) return DefWindowProcA(hwnd, message, wParam, lParam);
    KillTimer(hwnd, 1);
    RunGuarded(kModeStartupGuard, [] { throw Exception("second failure"); });
    return 0;
}

// The second failure comes from a timer that fires while the first report shows its message box.
void ThrowWithSecondFailureArmed() {
    RegisterFixtureClass("VantoraCrashProbe", ProbeWindowProc);
    SetTimer(CreateWindowA("VantoraCrashProbe", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                           nullptr),
             1, 500, nullptr);
    ThrowMarkup();
}

}  // namespace

int main(int argc, char** argv) {
    using Action = void (*)();
    const Action action = argc != 4 ? nullptr
                                    : ByWord<Action>({{"fault", ReadNull},
                                                      {"throw", ThrowMarkup},
                                                      {"foreign", ThrowForeign},
                                                      {"noexcept", ReadNullNoexcept},
                                                      {"reenter", ThrowWithSecondFailureArmed}},
                                                     argv[1], nullptr);
    if (!action) return 2;
    AppMode = static_cast<uint32_t>(std::strtoul(argv[2], nullptr, 10));
    if (FILE* info = std::fopen(argv[3], "w")) {
        std::fprintf(info, "ReadThrough=%p\nReadNull=%p\nThrowMarkup=%p\n", reinterpret_cast<void*>(&ReadThrough),
                     reinterpret_cast<void*>(&ReadNull), reinterpret_cast<void*>(&ThrowMarkup));
        std::fclose(info);
    }
    InstallExceptionHooks();
    RunGuarded(kModeStartupGuard, action);
    return 1;  // every action ends in a report
}
