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

class Launch : public ::testing::Test {
protected:
    void SetUp() override {
        CreateDirectoryA(folder.c_str(), nullptr);
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver.c_str(), FALSE));
        WriteWholeFile(folder + "\\a b.mode", "exit");
    }

    // Starts the saver and returns the command line it logged, once it has ended.
    std::string Run(uintptr_t window, bool configure, bool fullScreen) {
        DeleteFileA((folder + "\\a b.log").c_str());
        UniqueChildProcess child = RunScreensaver(saver, reinterpret_cast<HWND>(window), configure, fullScreen);
        if (!child) return "(not started)";
        EXPECT_EQ(WaitForSingleObject(child.Handle(), 20000), WAIT_OBJECT_0);
        const std::string log = ReadWholeFile(folder + "\\a b.log");
        const size_t start = log.find("start ");
        const size_t end = log.find(" pid=" + std::to_string(child.Id()));
        if (start == std::string::npos || end == std::string::npos) return "(no log: " + log + ")";
        return log.substr(start + 6, end - start - 6);
    }

    // A running child of `mode` and a handle that sees it end.
    UniqueChildProcess StartRunning(const char* mode, UniqueHandle& watch) {
        WriteWholeFile(folder + "\\a b.mode", mode);
        UniqueChildProcess child = RunScreensaver(saver, nullptr, false, true);
        EXPECT_TRUE(child);
        watch.reset(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, child.Id()));
        return child;
    }

    TestFolder dir;
    const std::string folder = dir / "My Savers";
    const std::string saver = folder + "\\a b.scr";
};

TEST_F(Launch, EachModeGetsExactlyItsSwitchAndThePathIsOneArgument) {
    const std::string quoted = "\"" + saver + "\"";
    EXPECT_EQ(Run(0, true, false), quoted + " /c");
    EXPECT_EQ(Run(1234, true, false), quoted + " /c:1234");
    EXPECT_EQ(Run(1234, false, true), quoted + " /s");
    EXPECT_EQ(Run(0, false, true), quoted + " /s");
    const std::string preview = Run(1234, false, false);
    EXPECT_EQ(preview, quoted + " /p 1234");

    int count = 0;
    LPWSTR* args = CommandLineToArgvW(ToWide(preview).c_str(), &count);
    ASSERT_EQ(count, 3);
    EXPECT_EQ(std::wstring(args[0]), ToWide(saver));
    LocalFree(args);
}

TEST_F(Launch, ConflictingFlagsOrAMissingFileStartNothing) {
    try {
        RunScreensaver(saver, nullptr, true, true);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "incorrect params in RunScreensaver");
    }
    EXPECT_FALSE(PathMatches(folder + "\\a b.log"));
    EXPECT_FALSE(RunScreensaver(folder + "\\gone.scr", nullptr, false, true));
}

// A dropped owner ends its child; one let go leaves it running.
TEST_F(Launch, OwnersEndTheirChildUnlessLetGo) {
    UniqueHandle watch;
    { UniqueChildProcess dropped = StartRunning("run", watch); }
    EXPECT_EQ(WaitForSingleObject(watch.get(), 10000), WAIT_OBJECT_0);

    StartRunning("run", watch).Leave();
    EXPECT_EQ(WaitForSingleObject(watch.get(), 1000), static_cast<DWORD>(WAIT_TIMEOUT));
    TerminateProcess(watch.get(), 0);
}

}  // namespace
