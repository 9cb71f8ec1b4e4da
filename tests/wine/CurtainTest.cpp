// The black screen between screensavers, seen as the user sees it: the pixels on the X screen.
#include <gtest/gtest.h>

#include <windows.h>

#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/ScreenSampler.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

const std::string kSystem = "C:\\windows\\system32";
const std::string kInstall = "C:\\vantora-curtain-test";

std::string Fixture(const std::string& name) { return kSystem + "\\" + name + ".scr"; }

size_t Starts(const std::string& name) {
    size_t starts = 0;
    for (const std::string& line : SplitLines(ReadWholeFile(kSystem + "\\" + name + ".log")))
        starts += line.rfind("start ", 0) == 0;
    return starts;
}

class Curtain : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        CreateDirectoryA(kInstall.c_str(), nullptr);
        SetInstallPath(kInstall);
        RemoveTree(AppDataFolder() + "\\Vantora");
        MovePointerTo(10, 10);
    }
    void TearDown() override {
        CloseFixtures();
        for (const std::string& name : installed_) {
            DeleteFileA(Fixture(name).c_str());
            DeleteFileA((kSystem + "\\" + name + ".log").c_str());
        }
    }
    void Install(const std::string& name) {
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), Fixture(name).c_str(), FALSE));
        installed_.push_back(name);
    }
    std::vector<std::string> installed_;
    UrlLog urls_;
};

// Every change closes one screensaver and starts the next: with ChangeTime 0 that is one change a
// poll or so. A window of a colour nothing else draws stands for the desktop, and a Linux program
// reads the X screen's pixels throughout.
TEST_F(Curtain, NoFrameShowsTheDesktopDuringFortyChanges) {
    constexpr size_t kChanges = 40;
    Install("vt_a_run");
    Install("vt_b_run");
    WriteSettingString("Order", "17");
    WriteSettingString("ChangeTime", "0");
    HWND desktop = ShowDesktopStandIn();
    ASSERT_NE(desktop, nullptr);
    ScreenSampler sampler;
    ASSERT_TRUE(sampler.WaitUntilReady());

    UniqueChildProcess vantora = StartProcess("\"" + BinFolder() + "\\vantora.scr\" /s");
    const bool changed = PumpUntil([] { return Starts("vt_a_run") + Starts("vt_b_run") > kChanges; }, 100000);
    const std::optional<SampledFrames> frames = sampler.Stop();
    MovePointerTo(600, 400);
    MovePointerTo(300, 200);
    CloseFixtures();  // after the user's input: the run ends
    PumpUntil([&] { return !vantora.Running(); }, 20000);
    DestroyWindow(desktop);

    ASSERT_TRUE(changed) << Starts("vt_a_run") + Starts("vt_b_run") << " starts";
    ASSERT_TRUE(frames);
    std::printf("frames read %ld at %.0f Hz, showing the desktop %ld\n", frames->frames, frames->hz, frames->shown);
    EXPECT_GE(frames->hz, 50);
    EXPECT_EQ(frames->shown, 0);
}

}  // namespace
