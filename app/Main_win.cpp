// Program entry: Windows starts a screensaver with /s, /p <hwnd>, /c[:<hwnd>] or /a <hwnd>.
#include <windows.h>

#include <cstdlib>

#include "app/CommandLine.h"
#include "app/DynCalls_win.h"
#include "diag/Report_win.h"
#include "host/Host_win.h"
#include "settingswnd/SettingsWindow_win.h"

namespace {

// The Windows 9x family keeps the screensaver password with the multiple-provider router; where
// the library or its export is missing there is nothing to change.
void ChangePassword(const CommandLine& cl) {
    // A parent that is not a number is treated as no parent at all.
    if (auto change = DynMpr().PwdChangePasswordA) {
        change("SCRSAVE", reinterpret_cast<HWND>(static_cast<intptr_t>(cl.windowArg)), 0, 0);
    }
}

HWND AsWindow(int32_t value) { return reinterpret_cast<HWND>(static_cast<intptr_t>(value)); }

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StampVersion();
    InstallExceptionHooks();

    const CommandLine cl = ParseCommandLine(__argc > 1 ? __argv[1] : "", __argc > 2 ? __argv[2] : "");
    switch (ModeFor(cl.modeWord)) {
        case Mode::Settings:
            RunGuarded(kModeStartupGuard, [] { RunSettingsWindow(); });
            break;
        case Mode::Preview:
            RunGuarded(kModeStartupGuard, [&] {
                if (cl.windowArg != 0 && IsWindow(AsWindow(cl.windowArg))) RunSaverMode(AsWindow(cl.windowArg));
            });
            break;
        case Mode::FullScreen:
            RunGuarded(kModeStartupGuard, [] { RunSaverMode(nullptr); });
            break;
        case Mode::ChangePassword:
            ChangePassword(cl);
            break;
        case Mode::None:
            break;
    }
    // Every mode ends here, once its loops have returned and its owners have let go.
    ExitProcess(0);
}
