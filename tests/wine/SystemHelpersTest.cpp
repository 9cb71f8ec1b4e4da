#include <gtest/gtest.h>

#include "settings/SystemHelpers_win.h"
#include "tests/wine/WineTest.h"

namespace {

TEST(SystemHelpers, FindsTheStandardFolders) {
    std::string temp = TempFolder();
    ASSERT_FALSE(temp.empty());
    EXPECT_EQ(temp.back(), '\\');
    EXPECT_TRUE(FolderExists(temp));
    EXPECT_EQ(SpecialFolderPath(0x24), "C:\\windows");
    EXPECT_EQ(SpecialFolderPath(0x25), "C:\\windows\\system32");
    EXPECT_EQ(SpecialFolderPath(0x7FFF), "");
    std::string appData = AppDataFolder();
    EXPECT_FALSE(appData.empty());
    EXPECT_NE(appData.back(), '\\');
    EXPECT_EQ(ShellFolder("NoSuchFolderName"), "");
}

TEST(SystemHelpers, EnsureFolderCreatesOneLevelOnly) {
    TestFolder dir;
    EnsureFolder(dir / "one");
    EXPECT_TRUE(FolderExists(dir / "one"));
    EnsureFolder(dir / "one");  // already there
    EnsureFolder(dir / "a\\b");
    EXPECT_FALSE(FolderExists(dir / "a"));
}

TEST(SystemHelpers, PathMatchesFilesFoldersAndWildcards) {
    TestFolder dir;
    WriteWholeFile(dir / "x.scr", "x");
    EXPECT_TRUE(PathMatches(dir / "x.scr"));
    EXPECT_TRUE(PathMatches(dir / "*.scr"));
    EXPECT_TRUE(PathMatches(dir.path() + "\\*"));
    EXPECT_FALSE(PathMatches(dir / "*.exe"));
    EXPECT_FALSE(PathMatches(dir / "missing\\*"));
    EXPECT_TRUE(FileExists(dir / "x.scr"));
    EXPECT_FALSE(FileExists(dir.path()));
}

LRESULT CALLBACK CountingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_APP) ++*reinterpret_cast<int*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST(SystemHelpers, PumpDispatchesWhatIsWaitingAndReadsWindowText) {
    HWND hwnd = MakeTestWindow("VantoraPumpTest", "Pump caption", CountingProc, WS_OVERLAPPED);
    ASSERT_NE(hwnd, nullptr);
    int count = 0;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&count));
    PostMessageA(hwnd, WM_APP, 0, 0);
    PostMessageA(hwnd, WM_APP, 0, 0);
    PumpMessages();
    EXPECT_EQ(count, 2);
    PumpMessages();  // nothing waiting: returns at once
    EXPECT_EQ(WindowTextOf(hwnd), "Pump caption");
    DestroyWindow(hwnd);
}

}  // namespace
