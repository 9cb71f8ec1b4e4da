// The demo screensavers as Windows starts them: the preview inside a window of ours, the
// full-screen run ended by input, and the settings message with the saver's name.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "settings/SystemHelpers_win.h"
#include "tests/wine/WineTest.h"

namespace {

// The process's first visible top-level window.
HWND WindowOf(const UniqueChildProcess& saver) {
    HWND found = nullptr;
    PumpUntil([&] {
        for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, nullptr)) != nullptr;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == saver.Id() && IsWindowVisible(w)) return (found = w) != nullptr;
        }
        return false;
    });
    return found;
}

// The exit code once the process ended while messages were pumped, else -1.
int ExitOf(const UniqueChildProcess& saver) {
    DWORD code = 0;
    const bool ended = PumpUntil([&] { return !saver.Running(); });
    return ended && GetExitCodeProcess(saver.Handle(), &code) ? static_cast<int>(code) : -1;
}

void MoveMouse(LONG dx, LONG dy) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    PumpUntil([] { return false; }, 200);
}

// Each demo gets another spelling of each switch, as Windows and users give them.
TEST(DemoSavers, PreviewFullScreenAndSettingsAsWindowsStartsThem) {
    const struct {
        const char *file, *name, *preview, *fullScreen, *settings;
    } demos[] = {{"vstars.scr", "Vantora Starfield", " /p ", " /s", " /c:"},
                 {"vlines.scr", "Vantora Mystify Lines", " /p:", " -S", " -C "},
                 {"vplasma.scr", "Vantora Plasma", " -P ", " /S", nullptr}};  // nullptr: no switch, no owner
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (size_t i = 0; i < std::size(demos); ++i) {
        const auto& demo = demos[i];
        SCOPED_TRACE(demo.file);
        const std::string program = "\"" + BinFolder() + "\\" + demo.file + "\"";

        // The preview is a child of the given window and ends with it.
        HWND host = MakeTestWindow("VantoraDemoTestHost", "Demo host");
        UniqueChildProcess saver = StartProcess(program + demo.preview + std::to_string(uintptr_t(host)));
        HWND child = nullptr;
        ASSERT_TRUE(PumpUntil([&] { return (child = GetWindow(host, GW_CHILD)) && IsWindowVisible(child); }));
        DWORD owner = 0;
        GetWindowThreadProcessId(child, &owner);
        EXPECT_EQ(owner, saver.Id());
        DestroyWindow(host);
        EXPECT_EQ(ExitOf(saver), 0);

        // Full screen: covers the screen, takes the foreground, ignores jitter, ends on input.
        saver = StartProcess(program + demo.fullScreen);
        const HWND window = WindowOf(saver);
        ASSERT_NE(window, nullptr);
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_TRUE(EqualRect(&rect, &screen));
        EXPECT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }, 2000));
        MoveMouse(1, 0);
        MoveMouse(-1, 1);
        ASSERT_TRUE(saver.Running());
        if (i == 0) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        if (i == 1) MoveMouse(40, 30);
        if (i == 2) PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(ExitOf(saver), 0);

        // The settings message carries the name and is modal to the given window.
        host = MakeTestWindow("VantoraDemoTestHost", "Demo host");
        const bool owned = demo.settings != nullptr;
        saver = StartProcess(program + (owned ? demo.settings + std::to_string(uintptr_t(host)) : ""));
        const HWND dialog = WindowOf(saver);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(WindowTextOf(dialog), demo.name);
        EXPECT_NE(WindowTextOf(GetDlgItem(dialog, 0xFFFF)).find("no options"), std::string::npos);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owned ? host : nullptr);
        EXPECT_EQ(IsWindowEnabled(host) != FALSE, !owned);
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(ExitOf(saver), 0);
        EXPECT_TRUE(IsWindowEnabled(host));
        DestroyWindow(host);
    }
}

}  // namespace
