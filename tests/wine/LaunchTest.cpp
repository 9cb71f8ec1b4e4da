// Starting catalogued screensavers: the fixture saver logs the command line it was given.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/Launch_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/WineTest.h"

namespace {

// Each mode gets exactly its switch and the path is one argument; conflicting flags or a missing
// file start nothing.
TEST(Launch, EachModeGetsItsSwitchAndNothingStartsWithConflictingFlagsOrNoFile) {
    TestFolder dir;
    const std::string folder = dir / "My Savers", saver = folder + "\\a b.scr";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver.c_str(), FALSE));
    WriteWholeFile(folder + "\\a b.mode", "exit");
    const std::string quoted = "\"" + saver + "\"";
    const struct {
        uintptr_t window;
        bool configure, fullScreen;
        std::string logged;
    } cases[] = {{0, true, false, quoted + " /c"},
                 {1234, true, false, quoted + " /c:1234"},
                 {1234, false, true, quoted + " /s"},
                 {0, false, true, quoted + " /s"},
                 {1234, false, false, quoted + " /p 1234"}};
    for (const auto& c : cases) {
        DeleteFileA((folder + "\\a b.log").c_str());
        UniqueChildProcess child = RunScreensaver(saver, reinterpret_cast<HWND>(c.window), c.configure, c.fullScreen);
        ASSERT_TRUE(child) << c.logged;
        EXPECT_EQ(WaitForSingleObject(child.Handle(), 20000), WAIT_OBJECT_0);
        const std::string log = ReadWholeFile(folder + "\\a b.log");
        const size_t end = log.find(" pid=" + std::to_string(child.Id()));
        EXPECT_EQ(log.substr(6, end == std::string::npos ? end : end - 6), c.logged);
    }
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(ToWide(cases[4].logged).c_str(), &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::wstring(args[0]), ToWide(saver));
    LocalFree(args);

    DeleteFileA((folder + "\\a b.log").c_str());
    EXPECT_THROW(RunScreensaver(saver, nullptr, true, true), Exception);
    EXPECT_FALSE(FileExists(folder + "\\a b.log"));
    EXPECT_FALSE(RunScreensaver(folder + "\\gone.scr", nullptr, false, true));
}

}  // namespace
