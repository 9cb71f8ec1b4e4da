// The settings window's two kinds of screensaver child, with fixture savers that log what they
// are told.
#include <gtest/gtest.h>
#include <windows.h>

#include "settingswnd/SaverChildren_win.h"
#include "tests/wine/WineTest.h"

namespace {

// A saver's own settings dialog outlives any number of preview stops and starts.
TEST(SaverChildren, StoppingThePreviewLeavesASettingsDialogAlone) {
    TestFolder dir;
    for (const char* name : {"calm", "other"})
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), (dir / name + ".scr").c_str(), FALSE));
    const HWND box = MakeTestWindow("VantoraPreviewBoxTest", "box");
    auto logged = [&](const char* text) { return ReadWholeFile(dir / "other.log").find(text) != std::string::npos; };

    SaverTaskChild dialog;
    ASSERT_TRUE(dialog.Start(dir / "other.scr", box, SaverTask::Settings));
    EXPECT_FALSE(dialog.Start(dir / "other.scr", box, SaverTask::Settings));  // one at a time
    ASSERT_TRUE(PumpUntil([&] { return logged(" /c:"); }));

    PreviewChild preview;
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(preview.Start(dir / "calm.scr", box));
        ASSERT_TRUE(PumpUntil([&] { return FindWindowExA(box, nullptr, nullptr, nullptr) != nullptr; }));
        EXPECT_TRUE(preview.Stop());
    }
    EXPECT_TRUE(dialog.Running());

    HWND dialogWindow = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (dialogWindow = FindWindowA("VantoraFixture", "other")) != nullptr; }));
    PostMessageA(dialogWindow, WM_CLOSE, 0, 0);
    dialog.WaitForEnd();
    EXPECT_FALSE(dialog.Running());
    EXPECT_TRUE(logged("closed"));
    DestroyWindow(box);
}

}  // namespace
