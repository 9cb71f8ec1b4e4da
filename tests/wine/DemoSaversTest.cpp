// The demo screensavers as Windows starts them: their name resource, the preview inside a window
// of ours, the full-screen run ended by input, the settings message and stray switches.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/Handles.h"
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

constexpr char kHostClass[] = "VantoraDemoTestHost";
constexpr DWORD kAppearMs = 10000;
constexpr DWORD kExitMs = 5000;

std::string DemoPath(const Demo& demo) { return BinFolder() + "\\" + demo.file; }

std::string HandleText(HWND hwnd) { return std::to_string(reinterpret_cast<uintptr_t>(hwnd)); }

// Runs this thread's messages until `done` holds or `timeoutMs` passes. Windows of the saver that
// are children or owned windows of ours send us messages, so waiting without pumping would stall it.
bool PumpUntil(DWORD timeoutMs, const std::function<bool()>& done) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil(ms, [] { return false; });
}

// For EnumWindows and EnumChildWindows: appends each window to the std::vector<HWND> in `lParam`.
BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
    reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(hwnd);
    return TRUE;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

// A saver process started by a test; one still running at the end of the test is terminated.
class Saver {
public:
    explicit Saver(const std::string& commandLine) {
        STARTUPINFOA si = {};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi = {};
        std::string cmd = commandLine;
        if (CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
            process_.reset(pi.hProcess);
            CloseHandle(pi.hThread);
            id_ = pi.dwProcessId;
        }
    }
    ~Saver() {
        if (Running()) TerminateProcess(process_.get(), 99);
    }
    Saver(const Saver&) = delete;
    Saver& operator=(const Saver&) = delete;

    bool Started() const { return static_cast<bool>(process_); }
    DWORD id() const { return id_; }
    bool Running() const { return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

    // The exit code once the process ended within `timeoutMs` while messages were pumped, else -1.
    int WaitForExit(DWORD timeoutMs) const {
        if (!PumpUntil(timeoutMs, [this] { return !Running(); })) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        return static_cast<int>(code);
    }

    // The first visible top-level window of the process whose class is `className` (any when empty).
    HWND TopWindow(const std::string& className = "") const {
        std::vector<HWND> windows;
        EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
        for (HWND hwnd : windows) {
            DWORD owner = 0;
            GetWindowThreadProcessId(hwnd, &owner);
            if (owner == id_ && IsWindowVisible(hwnd) && (className.empty() || ClassOf(hwnd) == className)) {
                return hwnd;
            }
        }
        return nullptr;
    }

private:
    UniqueHandle process_;
    DWORD id_ = 0;
};

// A plain window standing in for the Display Properties preview box or a settings window.
class HostWindow {
public:
    HostWindow(int width, int height) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = kHostClass;
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, kHostClass, "Demo host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, width, height,
                                nullptr, nullptr, wc.hInstance, nullptr);
    }
    ~HostWindow() { Destroy(); }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    HWND get() const { return hwnd_; }
    void Destroy() {
        if (hwnd_) DestroyWindow(hwnd_);
        hwnd_ = nullptr;
    }

private:
    HWND hwnd_ = nullptr;
};

// The pixels (0x00RRGGBB, row by row) currently shown in `hwnd`, read back from the screen.
std::vector<uint32_t> PixelsShownBy(HWND hwnd) {
    RECT rect{};
    GetWindowRect(hwnd, &rect);
    const int width = rect.right - rect.left, height = rect.bottom - rect.top;
    std::vector<uint32_t> shown;
    if (width <= 0 || height <= 0) return shown;
    HDC screen = GetDC(nullptr);
    UniqueHdc memory(CreateCompatibleDC(screen));
    BITMAPINFO bi = {};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    UniqueHBitmap bitmap(CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (bitmap) {
        ScopedSelect select(memory.get(), bitmap.get());
        BitBlt(memory.get(), 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY);
        GdiFlush();
        const auto* pixels = static_cast<const uint32_t*>(bits);
        shown.assign(pixels, pixels + width * height);
        for (uint32_t& pixel : shown)
            pixel &= 0xFFFFFF;
    }
    ReleaseDC(nullptr, screen);
    return shown;
}

std::string TextOf(HWND hwnd) {
    char text[512] = {};
    GetWindowTextA(hwnd, text, sizeof text);
    return text;
}

// The texts of the static controls of a message box.
std::string StaticTextsOf(HWND dialog) {
    std::vector<HWND> children;
    EnumChildWindows(dialog, CollectWindow, reinterpret_cast<LPARAM>(&children));
    std::string texts;
    for (HWND child : children) {
        if (lstrcmpiA(ClassOf(child).c_str(), "Static") == 0) texts += TextOf(child) + "\n";
    }
    return texts;
}

void SendKeyPress(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void SendMouseMove(LONG dx, LONG dy) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = dx;
    input.mi.dy = dy;
    input.mi.dwFlags = MOUSEEVENTF_MOVE;
    SendInput(1, &input, sizeof(INPUT));
}

TEST(DemoSavers, CarryTheirNameAsStringOne) {
    for (const Demo& demo : kDemos) {
        SCOPED_TRACE(demo.file);
        UniqueModule module(
            LoadLibraryExA(DemoPath(demo).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module);
        char text[256] = {};
        ASSERT_GT(LoadStringA(module.get(), 1, text, sizeof text), 0);
        EXPECT_STREQ(text, demo.name);
    }
}

TEST(DemoSavers, PreviewFillsTheGivenWindowFollowsItsSizeAndEndsWithIt) {
    // The spellings that Windows and users give the preview switch.
    const char* forms[] = {" /p ", " /p:", " -P "};
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        const Demo& demo = kDemos[i];
        SCOPED_TRACE(demo.file);
        HostWindow host(320, 240);
        ASSERT_TRUE(host.get());
        Saver saver("\"" + DemoPath(demo) + "\"" + forms[i] + HandleText(host.get()));
        ASSERT_TRUE(saver.Started());

        HWND child = nullptr;
        ASSERT_TRUE(PumpUntil(kAppearMs, [&] {
            child = GetWindow(host.get(), GW_CHILD);
            return child != nullptr && IsWindowVisible(child);
        }));
        DWORD childProcess = 0;
        GetWindowThreadProcessId(child, &childProcess);
        EXPECT_EQ(childProcess, saver.id());
        RECT hostClient{}, childRect{};
        GetClientRect(host.get(), &hostClient);
        GetClientRect(child, &childRect);
        EXPECT_EQ(childRect.right, hostClient.right);
        EXPECT_EQ(childRect.bottom, hostClient.bottom);

        // Wine does not put the pixels of a child window owned by another process on the screen, so what
        // the frame draws is checked in the full-screen run below, where the same frame and drawing run.

        MoveWindow(host.get(), 40, 40, 420, 300, TRUE);
        GetClientRect(host.get(), &hostClient);
        EXPECT_TRUE(PumpUntil(2000, [&] {
            GetClientRect(child, &childRect);
            return childRect.right == hostClient.right && childRect.bottom == hostClient.bottom;
        }));

        host.Destroy();
        EXPECT_EQ(saver.WaitForExit(kExitMs), 0);
    }
}

TEST(DemoSavers, FullScreenCoversTheScreenIgnoresJitterAndEndsOnInput) {
    const char* switches[] = {"/s", "-S", "/S"};
    const RECT screen = {GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                         GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                         GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        const Demo& demo = kDemos[i];
        SCOPED_TRACE(demo.file);
        Saver saver("\"" + DemoPath(demo) + "\" " + switches[i]);
        ASSERT_TRUE(saver.Started());
        HWND window = nullptr;
        ASSERT_TRUE(PumpUntil(kAppearMs, [&] { return (window = saver.TopWindow()) != nullptr; }));
        RECT rect{};
        GetWindowRect(window, &rect);
        EXPECT_TRUE(EqualRect(&rect, &screen));
        EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
        // The user's keys and moves reach the foreground window; the saver must take it.
        EXPECT_TRUE(PumpUntil(2000, [&] { return GetForegroundWindow() == window; }));

        // It animates: some frames later the picture has several colours and has changed.
        PumpFor(300);
        const std::vector<uint32_t> first = PixelsShownBy(window);
        PumpFor(300);
        const std::vector<uint32_t> second = PixelsShownBy(window);
        EXPECT_GE(std::set<uint32_t>(second.begin(), second.end()).size(), 3u);
        EXPECT_TRUE(first != second);

        // A pointer resting on the desk jitters by a pixel or two; that must not end the saver.
        SendMouseMove(1, 0);
        PumpFor(150);
        SendMouseMove(-1, 1);
        PumpFor(400);
        ASSERT_TRUE(saver.Running());

        switch (i) {
            case 0:
                SendKeyPress(VK_SPACE);
                break;
            case 1:
                SendMouseMove(40, 30);
                PumpFor(100);
                SendMouseMove(40, 30);
                break;
            default:
                PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
                break;
        }
        EXPECT_EQ(saver.WaitForExit(kExitMs), 0);
    }
}

TEST(DemoSavers, SettingsMessageIsModalToTheGivenWindow) {
    struct Case {
        const char* prefix;  // the switch up to the window handle; nullptr: no switch and no owner
    };
    const Case cases[] = {{" /c:"}, {" -C "}, {nullptr}};
    for (size_t i = 0; i < std::size(kDemos); ++i) {
        const Demo& demo = kDemos[i];
        SCOPED_TRACE(demo.file);
        HostWindow host(300, 200);
        const bool owned = cases[i].prefix != nullptr;
        Saver saver("\"" + DemoPath(demo) + "\"" + (owned ? cases[i].prefix + HandleText(host.get()) : ""));
        ASSERT_TRUE(saver.Started());
        HWND dialog = nullptr;
        ASSERT_TRUE(PumpUntil(kAppearMs, [&] { return (dialog = saver.TopWindow("#32770")) != nullptr; }));

        EXPECT_EQ(TextOf(dialog), demo.name);
        EXPECT_NE(StaticTextsOf(dialog).find("This screensaver has no options."), std::string::npos);
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), owned ? host.get() : nullptr);
        EXPECT_EQ(IsWindowEnabled(host.get()), owned ? FALSE : TRUE);

        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(saver.WaitForExit(kExitMs), 0);
        EXPECT_TRUE(IsWindowEnabled(host.get()));
    }
}

TEST(DemoSavers, SwitchesWithoutAUsableWindowEndAtOnce) {
    const Demo& demo = kDemos[0];
    for (const char* args : {"/p", "/p abc", "/p 0", "/p:999999", "/a", "/x", "/save"}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunAndWait("\"" + DemoPath(demo) + "\" " + args, kExitMs), 0);
    }
}

}  // namespace
