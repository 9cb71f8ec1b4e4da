// The demo screensavers as Windows starts them: their name resource, the preview inside a window
// of ours, the full-screen run ended by input and the settings message.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "app/Handles.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/WineTest.h"

namespace {

struct Demo {
    const char* file;
    const char* name;
};

constexpr Demo kDemos[] = {
    {"vstars.scr", "Vantora Starfield"},
    {"vlines.scr", "Vantora Mystify Lines"},
    {"vplasma.scr", "Vantora Plasma"},
};

constexpr DWORD kAppearMs = 10000;
constexpr DWORD kExitMs = 5000;

std::string Quoted(const Demo& demo) { return "\"" + BinFolder() + "\\" + demo.file + "\""; }

// Runs this thread's messages until `done` holds or `timeoutMs` passes. A saver's windows that are
// children or owned windows of ours send us messages, so waiting without pumping would stall it.
bool PumpUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

// A saver process started by a test; one still running at the end of the test is terminated.
struct Saver {
    UniqueHandle process;
    DWORD id = 0;

    Saver(const Demo& demo, const std::string& args) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::string cmd = Quoted(demo) + args;
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            process.reset(pi.hProcess);
            CloseHandle(pi.hThread);
            id = pi.dwProcessId;
        }
    }
    ~Saver() {
        if (Running()) TerminateProcess(process.get(), 99);
    }
    bool Running() const { return process && WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT; }

    // The exit code once the process ended while messages were pumped, else -1.
    int Exit() const {
        DWORD code = 0;
        const bool ended = PumpUntil(kExitMs, [this] { return !Running(); });
        return ended && GetExitCodeProcess(process.get(), &code) ? static_cast<int>(code) : -1;
    }

    // Waits for the process's first visible top-level window.
    HWND WaitForWindow() const {
        HWND found = nullptr;
        PumpUntil(kAppearMs, [&] {
            for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, nullptr, nullptr)) != nullptr;) {
                DWORD owner = 0;
                GetWindowThreadProcessId(w, &owner);
                if (owner == id && IsWindowVisible(w)) return (found = w) != nullptr;
            }
            return false;
        });
        return found;
    }
};

// A plain window standing in for the Display Properties preview box or a settings window.
using Window = std::unique_ptr<std::remove_pointer_t<HWND>, decltype(&DestroyWindow)>;
Window MakeHostWindow() {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "VantoraDemoTestHost";
    RegisterClassA(&wc);
    return Window(CreateWindowA(wc.lpszClassName, "Demo host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 320, 240,
                                nullptr, nullptr, wc.hInstance, nullptr),
                  DestroyWindow);
}

std::string HandleText(const Window& window) { return std::to_string(reinterpret_cast<uintptr_t>(window.get())); }

void SendMouseMove(LONG dx, LONG dy) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof input);
    PumpUntil(200, [] { return false; });
}

TEST(DemoSavers, CarryTheirNameAsStringOne) {
    for (const Demo& demo : kDemos) {
        SCOPED_TRACE(demo.file);
        const std::string path = BinFolder() + "\\" + demo.file;
        UniqueModule module(
            LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        char text[256] = {};
        ASSERT_GT(LoadStringA(module.get(), 1, text, sizeof text), 0);
        EXPECT_STREQ(text, demo.name);
    }
}

TEST(DemoSavers, PreviewIsAChildOfTheGivenWindowAndEndsWithIt) {
    const char* forms[] = {" /p ", " /p:", " -P "};  // the spellings Windows and users give
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        SCOPED_TRACE(kDemos[i].file);
        Window host = MakeHostWindow();
        Saver saver(kDemos[i], forms[i] + HandleText(host));
        HWND child = nullptr;
        ASSERT_TRUE(PumpUntil(kAppearMs, [&] {
            child = GetWindow(host.get(), GW_CHILD);
            return child != nullptr && IsWindowVisible(child);
        }));
        DWORD owner = 0;
        GetWindowThreadProcessId(child, &owner);
        EXPECT_EQ(owner, saver.id);

        host.reset();
        EXPECT_EQ(saver.Exit(), 0);
    }
}

TEST(DemoSavers, FullScreenCoversTheScreenIgnoresJitterAndEndsOnInput) {
    const char* switches[] = {" /s", " -S", " /S"};
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        SCOPED_TRACE(kDemos[i].file);
        Saver saver(kDemos[i], switches[i]);
        const HWND window = saver.WaitForWindow();
        ASSERT_NE(window, nullptr);
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_TRUE(EqualRect(&rect, &screen));
        // The user's keys and moves reach the foreground window; the saver must take it.
        EXPECT_TRUE(PumpUntil(2000, [&] { return GetForegroundWindow() == window; }));

        // A pointer resting on the desk jitters by a pixel or two; that must not end the saver.
        SendMouseMove(1, 0);
        SendMouseMove(-1, 1);
        ASSERT_TRUE(saver.Running());

        // A key, a real move or a click ends it.
        if (i == 0) PostMessageA(window, WM_KEYDOWN, VK_SPACE, 0);
        if (i == 1) SendMouseMove(40, 30);
        if (i == 2) PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        EXPECT_EQ(saver.Exit(), 0);
    }
}

TEST(DemoSavers, SettingsMessageIsModalToTheGivenWindow) {
    const char* forms[] = {" /c:", " -C ", nullptr};  // nullptr: no switch and no owner
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        SCOPED_TRACE(kDemos[i].file);
        Window host = MakeHostWindow();
        const bool owned = forms[i] != nullptr;
        Saver saver(kDemos[i], owned ? forms[i] + HandleText(host) : "");
        const HWND dialog = saver.WaitForWindow();
        ASSERT_NE(dialog, nullptr);

        EXPECT_EQ(WindowTextOf(dialog), kDemos[i].name);
        // 0xFFFF: the message box's text control.
        EXPECT_NE(WindowTextOf(GetDlgItem(dialog, 0xFFFF)).find("no options"), std::string::npos);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owned ? host.get() : nullptr);
        EXPECT_EQ(IsWindowEnabled(host.get()) != FALSE, !owned);

        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(saver.Exit(), 0);
        EXPECT_TRUE(IsWindowEnabled(host.get()));
    }
}

}  // namespace
