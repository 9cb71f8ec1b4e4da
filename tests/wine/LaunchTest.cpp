// Starting catalogued screensavers: the fixture saver logs the command line it was given.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/Discovery_win.h"
#include "catalogue/Launch_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/WineTest.h"

namespace {

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder().c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver().c_str(), FALSE));
        WriteWholeFile(folder() + "\\a b.mode", "exit");
        AllSavers.Clear();
        AllSavers.Add(MakeSaverItem("Spaced", saver()));
    }

    std::string folder() const { return dir / "My Savers"; }
    std::string saver() const { return folder() + "\\a b.scr"; }

    // Starts saver 0 and returns the command line it logged, once it has ended.
    std::string Run(HWND window, bool configure, bool fullScreen) {
        DeleteFileA((folder() + "\\a b.log").c_str());
        if (!RunScreensaver(0, window, configure, fullScreen)) return "(not started)";
        UniqueHandle child(ChildProcess);
        EXPECT_EQ(WaitForSingleObject(child.get(), 20000), WAIT_OBJECT_0);
        EXPECT_EQ(GetProcessId(child.get()), ChildProcessId);
        const std::string log = ReadWholeFile(folder() + "\\a b.log");
        const size_t start = log.find("start ");
        const size_t end = log.find(" pid=" + std::to_string(ChildProcessId));
        if (start == std::string::npos || end == std::string::npos) return "(no log: " + log + ")";
        return log.substr(start + 6, end - start - 6);
    }

    static HWND Window(uintptr_t value) { return reinterpret_cast<HWND>(value); }

    TestFolder dir;
};

TEST_F(Launch, EachModeGetsExactlyItsSwitch) {
    const std::string quoted = "\"" + saver() + "\"";
    EXPECT_EQ(Run(nullptr, true, false), quoted + " /c");
    EXPECT_EQ(Run(Window(1234), true, false), quoted + " /c:1234");
    EXPECT_EQ(Run(Window(1234), false, true), quoted + " /s");
    EXPECT_EQ(Run(nullptr, false, true), quoted + " /s");
    EXPECT_EQ(Run(Window(1234), false, false), quoted + " /p 1234");
}

TEST_F(Launch, PathWithSpacesArrivesAsOneArgument) {
    const std::string logged = Run(Window(1234), false, false);
    int count = 0;
    LPWSTR* args = CommandLineToArgvW(ToWide(logged).c_str(), &count);
    ASSERT_NE(args, nullptr);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::wstring(args[0]), ToWide(saver()));
    EXPECT_EQ(std::wstring(args[1]), L"/p");
    EXPECT_EQ(std::wstring(args[2]), L"1234");
    LocalFree(args);
}

TEST_F(Launch, ConflictingFlagsStartNothing) {
    ChildProcess = Window(77);
    ChildProcessId = 77;
    try {
        RunScreensaver(5, nullptr, true, true);  // the flags are checked before the index
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "incorrect params in RunScreensaver");
        EXPECT_STREQ(e.ClassName(), "Exception");
    }
    EXPECT_EQ(ChildProcess, Window(77));
    EXPECT_EQ(ChildProcessId, 77u);
    EXPECT_FALSE(PathMatches(folder() + "\\a b.log"));
    EXPECT_THROW(RunScreensaver(1, nullptr, false, true), EListError);
}

TEST_F(Launch, FailedStartLeavesNoChildAndSuccessiveStartsKeepTheFirstHandleOpen) {
    AllSavers.Add(MakeSaverItem("Gone", folder() + "\\gone.scr"));
    ChildProcess = Window(77);
    EXPECT_FALSE(RunScreensaver(1, nullptr, false, true));
    EXPECT_EQ(ChildProcess, nullptr);
    EXPECT_EQ(ChildProcessId, 0u);

    ASSERT_TRUE(RunScreensaver(0, nullptr, false, true));
    UniqueHandle first(ChildProcess);
    const DWORD firstId = ChildProcessId;
    ASSERT_TRUE(RunScreensaver(0, nullptr, false, true));
    UniqueHandle second(ChildProcess);
    EXPECT_NE(ChildProcessId, firstId);
    EXPECT_EQ(GetProcessId(first.get()), firstId);  // still a valid handle: closing it is the caller's job
    WaitForSingleObject(first.get(), 20000);
    WaitForSingleObject(second.get(), 20000);
}

}  // namespace
