// The settings window's two kinds of screensaver child, with fixture savers that log what they
// are told.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>

#include "settings/SystemHelpers_win.h"
#include "settingswnd/SaverChildren_win.h"
#include "tests/wine/WineTest.h"

namespace {

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 20000) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        Sleep(20);
        PumpMessages();
    }
    return true;
}

class SaverChildren : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"calm", "other"}) {
            ASSERT_TRUE(
                CopyFileA((BinFolder() + "\\fixture.scr").c_str(), (dir / name + std::string(".scr")).c_str(), FALSE));
        }
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "VantoraPreviewBoxTest";
        RegisterClassA(&wc);
        box = CreateWindowA(wc.lpszClassName, "box", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 160, 120, nullptr, nullptr,
                            wc.hInstance, nullptr);
        ASSERT_NE(box, nullptr);
    }
    void TearDown() override { DestroyWindow(box); }

    std::string Saver(const char* name) { return dir / name + std::string(".scr"); }
    std::string Log(const char* name) { return ReadWholeFile(dir / name + std::string(".log")); }
    bool Logged(const char* name, const char* text) { return Log(name).find(text) != std::string::npos; }
    bool HasPreviewWindow() { return FindWindowExA(box, nullptr, nullptr, nullptr) != nullptr; }

    TestFolder dir;
    HWND box = nullptr;
};

// A saver's own settings dialog outlives any number of preview stops and starts.
TEST_F(SaverChildren, StoppingThePreviewLeavesASettingsDialogAlone) {
    SaverTaskChild dialog;
    ASSERT_TRUE(dialog.Start(Saver("other"), box, SaverTask::Settings));
    EXPECT_FALSE(dialog.Start(Saver("other"), box, SaverTask::Settings));  // one at a time
    ASSERT_TRUE(WaitUntil([&] { return Logged("other", " /c:"); }));

    PreviewChild preview;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(preview.Start(Saver("calm"), box));
        ASSERT_TRUE(WaitUntil([&] { return HasPreviewWindow(); }));
        EXPECT_TRUE(preview.Stop());
    }
    EXPECT_TRUE(dialog.Running());

    HWND dialogWindow = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialogWindow = FindWindowA("VantoraFixture", "other")) != nullptr; }));
    PostMessageA(dialogWindow, WM_CLOSE, 0, 0);
    dialog.WaitForEnd();
    EXPECT_FALSE(dialog.Running());
    EXPECT_TRUE(Logged("other", "closed"));
}

}  // namespace
