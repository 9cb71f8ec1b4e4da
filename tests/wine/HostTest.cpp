// The rotation host end to end: the real vantora.scr with fixture screensavers in the prefix's
// System folder, judged by the fixtures' logs, the registry and saverlist.dat.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <future>
#include <optional>

#include "app/Handles.h"
#include "app/Text.h"
#include "catalogue/Launch_win.h"
#include "catalogue/SaverList.h"
#include "host/Host_win.h"
#include "host/RunLog_win.h"
#include "host/Schedule.h"
#include "settings/DataFolder_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/ScreenSampler.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

const std::string kSystem = "C:\\windows\\system32";
const std::string kInstall = "C:\\vantora-host-test";

std::string Fixture(const std::string& name) { return kSystem + "\\" + name + ".scr"; }

std::vector<std::string> LogOf(const std::string& name) {
    return SplitLines(ReadWholeFile(kSystem + "\\" + name + ".log"));
}

bool Logged(const std::string& name, const std::string& text) {
    for (const std::string& line : LogOf(name)) {
        if (line.find(text) != std::string::npos) return true;
    }
    return false;
}

void RemoveFixtures() {
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((kSystem + "\\vt_*").c_str(), &data));
    if (!find) return;
    do {
        DeleteFileA((kSystem + "\\" + data.cFileName).c_str());
    } while (FindNextFileA(find.get(), &data));
}

class Host : public ::testing::Test {
protected:
    void SetUp() override {
        RemoveFixtures();
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        // These fixtures end (exit at once, or closed here) with no user input: the run ends with them.
        WriteSettingString("SkipFailed", "0");
        CreateDirectoryA(kInstall.c_str(), nullptr);
        SetInstallPath(kInstall);
        RemoveTree(AppDataFolder() + "\\Vantora");
    }
    void TearDown() override {
        CloseFixtures();
        RemoveFixtures();
    }

    // Installs the fixture under `name` (its file name picks its behaviour unless `mode` is given).
    void Install(const std::string& name, const std::string& mode = "") {
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), Fixture(name).c_str(), FALSE));
        if (!mode.empty()) WriteWholeFile(kSystem + "\\" + name + ".mode", mode);
    }

    // Starts vantora.scr with `args` without waiting; it is ended if the test leaves it running.
    static UniqueChildProcess Start(const std::string& args) {
        return StartProcess("\"" + BinFolder() + "\\vantora.scr\" " + args);
    }

    int Run(const std::string& args, DWORD timeoutMs = 30000) {
        return RunAndWait("\"" + BinFolder() + "\\vantora.scr\" " + args, timeoutMs);
    }

    // A run in which `first` is due for a change at the first poll, with vt_b_exit next; its length in ms.
    DWORD RunWithChangeDue(const std::string& first, const std::string& mode = "") {
        Install(first, mode);
        Install("vt_b_exit");
        WriteSettingString("ChangeTime", "0");
        const DWORD start = GetTickCount();
        EXPECT_EQ(Run("/s", 60000), 0);
        return GetTickCount() - start;
    }

    std::string ListFile() const { return AppDataFolder() + "\\Vantora\\saverlist.dat"; }
    static std::string RunLog() { return ReadWholeFile(AppDataFolder() + "\\Vantora\\runlog.txt"); }
    // A line of the run log with `event` and `path`.
    static bool RunLogged(const std::string& event, const std::string& path = "") {
        for (const std::string& line : SplitLines(RunLog())) {
            if (line.find(event) != std::string::npos && line.find(path) != std::string::npos) return true;
        }
        return false;
    }

    // Ends the run as a user does: the pointer moves (a screensaver would close on it; the
    // fixtures are closed here after it). Vantora's exit code, or -1 when it did not end.
    static int EndAsUser(const UniqueChildProcess& vantora) {
        int move = 0;
        const bool ended = PumpUntil(
            [&] {
                MovePointerTo(200 + 300 * (++move % 2), 300);
                if (HWND saver = FindWindowA("VantoraFixture", nullptr)) PostMessageA(saver, WM_CLOSE, 0, 0);
                return !vantora.Running();
            },
            30000);
        DWORD code = 0;
        return ended && GetExitCodeProcess(vantora.Handle(), &code) ? static_cast<int>(code) : -1;
    }

    UrlLog urls_;  // notices of the data folder go to the log, never to a browser
};

TEST_F(Host, SuccessiveRunsFollowTheOrderAndResume) {
    const std::string names[] = {"vt_a_exit", "vt_b_exit", "vt_c_exit"};
    for (const std::string& name : names)
        Install(name);
    auto expectPrev = [&](int index) {
        EXPECT_EQ(ReadSettingString("Prev"), std::to_string(index) + "?" + Fixture(names[index]));
    };
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(Run("/s"), 0);
        expectPrev(i % 3);
    }
    EXPECT_EQ(LogOf("vt_a_exit").size(), 2u);
    EXPECT_TRUE(Logged("vt_b_exit", "\"" + Fixture("vt_b_exit") + "\" /s"));

    WriteSettingString("Order", "20");  // Reverse, change every
    for (int index : {2, 1}) {
        ASSERT_EQ(Run("/s"), 0);
        expectPrev(index);
    }
}

TEST_F(Host, OnceADayKeepsTheDaysSaverAndItsDate) {
    Install("vt_a_exit");
    Install("vt_b_exit");
    ASSERT_EQ(Run("/s"), 0);  // builds the catalogue; a is the day's pick

    WriteSettingString("Order", "9");  // Sequential, once a day
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    const double today = *reg.ReadDate("OrderDate");
    reg.WriteDate("OrderDate", today);
    WriteSettingString("Prev", "0?" + Fixture("vt_a_exit"));
    ASSERT_EQ(Run("/s"), 0);
    EXPECT_EQ(ReadSettingString("Prev"), "0?" + Fixture("vt_a_exit"));
    EXPECT_EQ(LogOf("vt_b_exit").size(), 0u);

    reg.WriteDate("OrderDate", today - 1);  // a new day: move on and record it
    ASSERT_EQ(Run("/s"), 0);
    EXPECT_EQ(ReadSettingString("Prev"), "1?" + Fixture("vt_b_exit"));
    EXPECT_EQ(*reg.ReadDate("OrderDate"), today);
}

HWND MakeWindow(const char* title) { return MakeTestWindow("VantoraHostTest", title); }

// A first saver due for a change at the first poll, "vt_b_exit" next. The change timer starts once
// the saver is in front, so a slow start keeps its tick; on a new day the day's saver starts again;
// a saver that ignores WM_CLOSE or no longer reads messages is ended after the grace; one that is
// not in front (a window of this test holds the front) is ended at once and unticked.
TEST_F(Host, ASaverDueForAChangeMakesWayWithinItsBound) {
    const struct {
        const char *name, *mode, *order, *logged;
        bool next;  // vt_b_exit started
        DWORD atLeastMs, belowMs;
    } rows[] = {{"vt_a_slow", "", "17", "closed", true, 0, 20000},
                {"vt_a_again", "", "25", "closed", false, 0, 20000},  // once a day, no "OrderDate": a new day
                {"vt_a_hang", "", "17", "ignored close", true, 10000, 20000},
                {"vt_a_run", "freeze", "17", "frozen", true, 0, 20000},
                {"vt_a_run", "nofocus", "17", nullptr, true, 0, 8000}};
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.name) + " " + row.mode);
        CloseFixtures();
        RemoveFixtures();
        RemoveTree(AppDataFolder() + "\\Vantora");
        DeleteSetting("Prev");
        DeleteSetting("OrderDate");
        WriteSettingString("Order", row.order);
        const HWND front = row.logged ? nullptr : MakeWindow("in front");
        if (front) SetForegroundWindow(front);
        const DWORD took = RunWithChangeDue(row.name, row.mode);
        if (front) DestroyWindow(front);
        EXPECT_TRUE(took >= row.atLeastMs && took < row.belowMs) << took;
        EXPECT_EQ(Logged("vt_b_exit", "/s"), row.next);
        EXPECT_TRUE(row.next || LogOf(row.name).size() == 3u);  // start, closed, start
        if (row.logged) {
            EXPECT_TRUE(Logged(row.name, row.logged));
            EXPECT_FALSE(FileExists(ListFile()));  // the host writes it only to untick a saver
            continue;
        }
        EXPECT_FALSE(Logged(row.name, "closed"));
        // The curtain behind it, shown without taking the front, does not pass for the saver.
        EXPECT_TRUE(RunLogged("not in front, unticked", Fixture(row.name)));
        TSaverList list;
        list.LoadFromFile(ListFile());
        ASSERT_EQ(list.Count(), 2);
        EXPECT_EQ(list.GetItem(0).FilePath, Fixture(row.name));
        EXPECT_FALSE(list.GetItem(0).Checked);
        EXPECT_TRUE(list.GetItem(1).Checked);
    }
}

std::vector<std::string> ModulesOf(DWORD processId) {
    std::vector<std::string> modules;
    UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, processId));
    MODULEENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (bool more = snapshot && Module32First(snapshot.get(), &entry); more;
         more = Module32Next(snapshot.get(), &entry))
        modules.push_back(AsciiLower(entry.szModule));
    return modules;
}

// Loading shell32 would cost every full-screen start tens of milliseconds before the saver shows;
// the black curtain behind the saver is plain user32, without the window toolkit's libraries. What
// the system loads into any process with a window (Wine's user32 loads uxtheme) is measured on the
// fixture saver, a plain user32 program.
TEST_F(Host, AFullScreenStartLeavesTheShellAndTheToolkitUnloaded) {
    Install("vt_a_run");
    const UniqueChildProcess vantora = Start("/s");
    // Its window, not only its log line: the close below must find it.
    HWND saver = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (saver = FindWindowA("VantoraFixture", nullptr)) != nullptr; }, 20000));
    DWORD saverProcess = 0;
    GetWindowThreadProcessId(saver, &saverProcess);
    const std::vector<std::string> modules = ModulesOf(vantora.Id()), plain = ModulesOf(saverProcess);
    auto has = [](const std::vector<std::string>& list, const char* name) {
        return std::find(list.begin(), list.end(), name) != list.end();
    };
    EXPECT_TRUE(has(modules, "vantora.scr"));
    for (const char* unloaded : {"shell32.dll", "comctl32.dll", "uxtheme.dll"})
        EXPECT_TRUE(!has(modules, unloaded) || has(plain, unloaded)) << unloaded;
    // The curtain, made once the saver is up, goes in beneath it: half a second after it shows, the
    // saver is still in sight.
    DWORD curtainSeen = 0;
    const auto saverOverCurtain = [&] {
        const HWND curtain = FindWindowA("Vantora_Curtain", nullptr);
        if (!curtain || !IsWindowVisible(curtain)) return false;
        if (!curtainSeen) curtainSeen = GetTickCount();
        const HDC screen = GetDC(nullptr);
        const COLORREF centre = GetPixel(screen, 512, 384);
        ReleaseDC(nullptr, screen);
        return GetTickCount() - curtainSeen >= 500 && centre == GetSysColor(COLOR_HIGHLIGHT);
    };
    EXPECT_TRUE(PumpUntil(saverOverCurtain, 20000));
    CloseFixtures();
    EXPECT_EQ(WaitForSingleObject(vantora.Handle(), 30000), WAIT_OBJECT_0);
}

// With ChangeTime 0 every poll or so closes one screensaver and starts the next. A window of a colour
// nothing else draws stands for the desktop, and a Linux program reads the X screen throughout.
TEST_F(Host, NoFrameShowsTheDesktopDuringFortyChanges) {
    constexpr size_t kChanges = 40;
    WriteSettingString("SkipFailed", "1");
    WriteSettingString("ChangeTime", "0");
    Install("vt_a_run");
    Install("vt_b_run");
    const HWND desktop = ShowDesktopStandIn();
    ScreenSampler sampler;
    ASSERT_TRUE(sampler.WaitUntilReady());
    const UniqueChildProcess vantora = Start("/s");
    const auto starts = [] { return LogOf("vt_a_run").size() + LogOf("vt_b_run").size(); };
    const bool changed = PumpUntil([&] { return starts() > 2 * kChanges; }, 100000);  // a start and a close each
    const std::optional<SampledFrames> frames = sampler.Stop();
    EXPECT_EQ(EndAsUser(vantora), 0);
    DestroyWindow(desktop);
    ASSERT_TRUE(changed) << starts();
    ASSERT_TRUE(frames);
    std::printf("frames read %ld at %.0f Hz, showing the desktop %ld\n", frames->frames, frames->hz, frames->shown);
    EXPECT_GE(frames->hz, 50);
    EXPECT_EQ(frames->shown, 0);
    EXPECT_TRUE(RunLogged("time up", Fixture("vt_a_run")));
}

// A screensaver that crashes, ends with no input or cannot start does not end the run: the next one
// runs, and the failed one keeps its tick and is tried again.
TEST_F(Host, ACrashingExitingOrUnstartableSaverIsSkippedAndKeepsItsTick) {
    WriteSettingString("SkipFailed", "1");
    WriteSettingString("ChangeTime", "0");
    Install("vt_b_run");
    const struct {
        const char *name, *mode;  // mode nullptr: a file that is no program
        const char* logged;
    } rows[] = {{"vt_a_run", "crash", "ended by itself"},
                {"vt_a_exit", "", "ended by itself"},
                {"vt_a_run", "quit", "ended by itself"},  // its window goes from under a still pointer
                {"vt_c_broken", nullptr, "failed to start"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.mode) {
            Install(row.name, row.mode);
        } else {
            WriteWholeFile(Fixture(row.name), "not a program");
        }
        DeleteFileA((AppDataFolder() + "\\Vantora\\runlog.txt").c_str());
        const UniqueChildProcess vantora = Start("/s");
        // Failed twice, with the good one between: the failure neither ended the run nor unticked it.
        ASSERT_TRUE(PumpUntil(
            [&] {
                const std::string log = RunLog();
                const size_t first = log.find(row.logged);
                return first != std::string::npos && log.find(row.logged, first + 1) != std::string::npos;
            },
            60000))
            << RunLog();
        EXPECT_TRUE(RunLogged(row.logged, Fixture(row.name)));
        EXPECT_TRUE(RunLogged("started", Fixture("vt_b_run")));
        EXPECT_EQ(EndAsUser(vantora), 0);
        EXPECT_TRUE(RunLogged("user input"));
        EXPECT_FALSE(FileExists(ListFile()));  // the host writes it only to untick a saver
        DeleteFileA(Fixture(row.name).c_str());
        DeleteFileA((kSystem + "\\" + row.name + ".mode").c_str());
    }
}

// When every ticked screensaver has failed the screen stays black, whatever time passes, until a
// real move, click or key ends the run with exit code 0.
TEST_F(Host, WhenAllFailTheScreenStaysBlackUntilTheUserComesBack) {
    WriteSettingString("SkipFailed", "1");
    Install("vt_a_exit");
    WriteWholeFile(Fixture("vt_b_broken"), "not a program");
    const HWND desktop = ShowDesktopStandIn();
    const struct {
        const char* name;
        std::function<void()> input;
    } rows[] = {{"move", [] { MovePointerTo(700, 500); }},
                {"click", [] { ClickAt(nullptr, 300, 300); }},  // where the pointer rests
                {"key", [] { PressKey(VK_SHIFT); }}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        MovePointerTo(300, 300);
        DeleteFileA((AppDataFolder() + "\\Vantora\\runlog.txt").c_str());
        ScreenSampler sampler;
        ASSERT_TRUE(sampler.WaitUntilReady());
        const UniqueChildProcess vantora = Start("/s");
        ASSERT_TRUE(PumpUntil([] { return RunLogged("all failed"); }, 30000)) << RunLog();
        EXPECT_TRUE(RunLogged("ended by itself", Fixture("vt_a_exit")));
        EXPECT_TRUE(RunLogged("failed to start", Fixture("vt_b_broken")));
        const std::optional<SampledFrames> frames = sampler.Stop();
        ASSERT_TRUE(frames);
        EXPECT_GT(frames->frames, 0);
        EXPECT_EQ(frames->shown, 0);
        const HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetPixel(screen, 512, 384), RGB(0, 0, 0));
        ReleaseDC(nullptr, screen);
        EXPECT_TRUE(vantora.Running());

        row.input();
        ASSERT_TRUE(PumpUntil([&] { return !vantora.Running(); }, 20000));
        DWORD code = 1;
        EXPECT_TRUE(GetExitCodeProcess(vantora.Handle(), &code) && code == 0) << code;
        EXPECT_TRUE(RunLogged("user input"));
    }
    DestroyWindow(desktop);
}

TEST(RunLogFile, PastItsBoundKeepsTheLastLines) {
    TestFolder folder;
    const std::string path = folder / "runlog.txt";
    std::string old;
    for (size_t i = 1; i <= kRunLogMaxLines; ++i)
        old += "old " + std::to_string(i) + "\r\n";
    WriteWholeFile(path, old);
    RunLogFile(path).Write(RunEvent::Started, "C:\\a.scr");
    const std::vector<std::string> lines = SplitLines(ReadWholeFile(path));
    ASSERT_EQ(lines.size(), kRunLogKeepLines);
    EXPECT_EQ(lines.front(), "old " + std::to_string(kRunLogMaxLines - kRunLogKeepLines + 2));
    EXPECT_NE(lines.back().find("started"), std::string::npos);
    EXPECT_EQ(lines.back().substr(lines.back().size() - 8), "C:\\a.scr");
}

TEST_F(Host, PreviewStartsTheNextSaverInTheGivenWindowAndRecordsNothing) {
    Install("vt_a_run");
    HWND box = MakeWindow("preview box");
    ASSERT_NE(box, nullptr);
    const std::string handle = std::to_string(reinterpret_cast<uintptr_t>(box));

    ASSERT_EQ(Run("/p " + handle, 10000), 0);
    EXPECT_EQ(ReadSettingString("Prev"), "");
    EXPECT_EQ(ReadSettingString("OrderDate"), "");

    // The child outlives the host and draws into the box until the box goes away.
    PumpUntil([] { return !LogOf("vt_a_run").empty(); }, 20000);
    EXPECT_TRUE(Logged("vt_a_run", "\"" + Fixture("vt_a_run") + "\" /p " + handle + " "));
    EXPECT_TRUE(Logged("vt_a_run", "parent=" + handle + " valid=1"));
    DestroyWindow(box);
    // Its file can go once the child has ended with its box; a later test must not find it listed.
    EXPECT_TRUE(PumpUntil([] { return DeleteFileA(Fixture("vt_a_run").c_str()) != 0; }));
}

// With no writable data folder the full-screen run goes on with the catalogue in memory: no box and
// no notice may stand before the saver, since nobody may be there to answer them.
// Nothing modal may stand before the saver: neither the data folder's box and notices nor, with
// the install folder unknown as well, the "Corrupted registry." box.
TEST_F(Host, NoDataFolderNorInstallFolderStartsTheSaverWithoutABoxOrNotice) {
    std::vector<std::string> blocked;
    for (int i = 1; i <= 5; ++i) {
        blocked.push_back(DataFolderCandidate(i, kInstall));
        RemoveTree(blocked.back());
        WriteWholeFile(blocked.back(), "in the way");
    }
    Install("vt_a_exit");
    for (bool installed : {true, false}) {
        SCOPED_TRACE(installed);
        if (!installed) SetInstallPath("");
        DeleteFileA((kSystem + "\\vt_a_exit.log").c_str());
        std::future<int> run = std::async(std::launch::async, [this] { return Run("/s"); });
        bool boxSeen = false;
        for (const DWORD start = GetTickCount(); !Logged("vt_a_exit", " /s") && GetTickCount() - start < 30000;
             Sleep(20))
            boxSeen = boxSeen || FindWindowA("#32770", "Vantora");
        EXPECT_FALSE(boxSeen);
        EXPECT_TRUE(Logged("vt_a_exit", " /s"));
        EXPECT_EQ(run.get(), 0);
        EXPECT_TRUE(urls_.Lines().empty());
    }
    for (const std::string& file : blocked)
        DeleteFileA(file.c_str());
}

// The host in this process over two fixture savers of a folder of its own: "a" cannot come to the
// front at its change time (a window of this test holds it), "b" exits at once and ends the run.
class HostInProcess : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a", "b"}) {
            ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), Saver(name).c_str(), FALSE));
            savers.Add(MakeSaverItem(name, Saver(name)));
        }
        WriteWholeFile(dir / "a.mode", "nofocus");
        WriteWholeFile(dir / "b.mode", "exit");
        settings.OrderMode = kOrderSequential;
        settings.ChangeEvery = true;
        settings.ChangeTime = 0;
        settings.SkipFailed = false;
        front = MakeWindow("in front");
        SetForegroundWindow(front);
    }
    void TearDown() override { DestroyWindow(front); }

    std::string Saver(const char* name) const { return dir / name + std::string(".scr"); }
    std::string Log(const char* name) const { return ReadWholeFile(dir / name + std::string(".log")); }

    TestFolder dir;
    TSaverList savers;
    Settings settings;
    HWND front = nullptr;
};

struct RecordedFindings : RunFindings {
    std::vector<int> unticked;
    void SaverUnticked(const TSaverList&, int index) override { unticked.push_back(index); }
};

// A system run saves an untick at once, or keeps it in memory when the list file cannot be
// written, without a box; the settings window's test run is told of it and writes no file.
TEST_F(HostInProcess, AnUntickGoesWhereTheRunSendsIt) {
    CreateDirectoryA((dir / "blocked").c_str(), nullptr);  // a folder where the list file belongs
    const struct {
        const char* name;
        std::string listFile;  // empty: the test run's findings
        bool written;
    } rows[] = {{"system run", dir / "new\\saverlist.dat", true},
                {"system run, list not writable", dir / "blocked", false},
                {"test run", "", false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        DeleteSetting("Prev");
        for (int i = 0; i < savers.Count(); ++i)
            savers.ItemPtr(i).Checked = true;
        for (const char* name : {"a", "b"})
            DeleteFileA((dir / name + std::string(".log")).c_str());
        ListFileFindings toFile(row.listFile);
        RecordedFindings recorded;
        RunSaverHost({nullptr, settings, savers, row.listFile.empty() ? static_cast<RunFindings&>(recorded) : toFile});

        EXPECT_NE(Log("a").find(" /s"), std::string::npos);
        EXPECT_NE(Log("b").find(" /s"), std::string::npos);  // the run went on without a box
        EXPECT_FALSE(savers.GetItem(0).Checked);
        EXPECT_TRUE(savers.GetItem(1).Checked);
        EXPECT_EQ(recorded.unticked, row.listFile.empty() ? std::vector<int>{0} : std::vector<int>{});
        EXPECT_EQ(ReadSettingString("Prev"), "1?" + Saver("b"));
        EXPECT_EQ(FileExists(row.listFile), row.written);
        if (!row.written) continue;
        TSaverList saved;
        saved.LoadFromFile(row.listFile);
        ASSERT_EQ(saved.Count(), 2);
        EXPECT_FALSE(saved.GetItem(0).Checked);
    }
}

// The user's input ended the saver just as its change time came: it is not taken for one that
// could not come to the front.
TEST_F(HostInProcess, ASaverEndedAtItsChangeTimeIsNotUnticked) {
    UniqueChildProcess child = RunScreensaver(Saver("b"), nullptr, false, true);
    ASSERT_TRUE(child);
    ASSERT_EQ(WaitForSingleObject(child.Handle(), 20000), WAIT_OBJECT_0);
    EXPECT_EQ(SuperviseChildSaver(child, GetTickCount() - 60000, {true, 0}), ChildOutcome::Ended);
}

}  // namespace
