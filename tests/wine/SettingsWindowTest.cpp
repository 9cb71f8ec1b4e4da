// The settings window end to end: the real vantora.scr with "/c", driven across processes by posted
// keys and clicks, judged by its windows, the fixture savers' logs, the registry and saverlist.dat.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <functional>

#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "settings/Settings.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "settingswnd/SettingsLayout.h"
#include "settingswnd/SettingsWindow_win.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"
#include "ui/Checklist_win.h"
#include "ui/Controls_win.h"
#include "ui/Dpi.h"

namespace {

const std::string kSystem = "C:\\windows\\system32";
const std::string kInstall = "C:\\vantora-window-test";
const char* const kSavers[] = {"vt_a_run", "vt_b_run"};
const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string LogOf(const std::string& saver) { return ReadWholeFile(kSystem + "\\" + saver + ".log"); }

size_t Count(const std::string& text, const std::string& part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

// Everything the window may write, as one text: the settings key, the system's values it touches,
// the agent's entry and the list file's bytes.
std::string Snapshot(const std::string& listFile) {
    std::string text;
    UniqueHKey key;
    RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Kestrella\\Vantora", 0, KEY_READ, key.put());
    char name[256], data[1024];
    for (DWORD i = 0, n = sizeof name, d = sizeof data;
         key && RegEnumValueA(key.get(), i, name, &n, nullptr, nullptr, reinterpret_cast<BYTE*>(data), &d) == 0;
         ++i, n = sizeof name, d = sizeof data)
        text += std::string(name) + "=" + std::string(data, d) + "\n";
    for (const auto& [path, value] : {std::pair{"Control Panel\\Desktop", "ScreenSaveTimeOut"},
                                      {"Control Panel\\Desktop", "ScreenSaverIsSecure"},
                                      {kRunKey, "Vantora"}})
        text += std::string(value) + "=" + RegText(HKEY_CURRENT_USER, path, value) + "\n";
    return text + "list=" + ReadWholeFile(listFile);
}

class SettingsWindowRun : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* saver : kSavers) {
            ASSERT_TRUE(
                CopyFileA((BinFolder() + "\\fixture.scr").c_str(), (kSystem + "\\" + saver + ".scr").c_str(), FALSE));
            for (const char* extension : {".log", ".mode"})
                DeleteFileA((kSystem + "\\" + saver + extension).c_str());
        }
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        // The test run's fixtures are closed here with no user input: the run ends with them.
        WriteSettingString("SkipFailed", "0");
        CreateDirectoryA(kInstall.c_str(), nullptr);
        SetInstallPath(kInstall);
        RemoveTree(AppDataFolder() + "\\Vantora");
        // An agent that ends at once, so ticking it starts nothing that stays.
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), (kInstall + "\\vtagent.exe").c_str(), FALSE));
        WriteWholeFile(kInstall + "\\vtagent.mode", "exit");
        // Everything an earlier test may have left: Wine's own wait time, no agent entry, no password,
        // 96 dpi.
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveTimeOut", REG_SZ, "300", 4);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaverIsSecure");
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantora");
        const DWORD dpi = 96;
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "htmlfile", 8);
    }
    void TearDown() override {
        // Closed as the user would: a preview child outlives a terminated window under Wine.
        if (process_) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.get(), 10000) != WAIT_OBJECT_0) TerminateProcess(process_.get(), 1);
        }
        CloseFixtures();
        for (const char* saver : kSavers) {
            DeleteFileA((kSystem + "\\" + saver + ".mode").c_str());
            PumpUntil([&] { return DeleteFileA((kSystem + "\\" + saver + ".scr").c_str()) != 0; }, 5000);
        }
    }

    // Starts vantora.scr with `args` and waits for its window with the list filled; with
    // `answerBox`, the "Vantora" message box that comes first is answered.
    void Open(const std::string& args = "/c", bool answerBox = false) {
        std::string commandLine = "\"" + BinFolder() + "\\vantora.scr\" " + args;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION info = {};
        ASSERT_TRUE(
            CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info));
        CloseHandle(info.hThread);
        process_.reset(info.hProcess);
        if (answerBox) {
            HWND box = nullptr;
            ASSERT_TRUE(PumpUntil([&] { return (box = FindWindowA("#32770", "Vantora")) != nullptr; }));
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
        ASSERT_TRUE(PumpUntil([&] {
            window_ = FindWindowA("TLSW_Vantora", "Vantora");
            return window_ && IsWindowVisible(window_) && SendMessageA(Control(kIdSaverList), LB_GETCOUNT, 0, 0) > 0;
        }));
    }

    // The first control of the window with `id` (and `className`, when given).
    HWND Control(int id, const char* className = nullptr) const { return FindDescendant(window_, id, className); }

    void Click(int id) { PostMessageA(Control(id, "Button"), BM_CLICK, 0, 0); }
    void Type(int editId, const char* text) { SendMessageA(Control(editId, "Edit"), WM_SETTEXT, 0, LPARAM(text)); }
    void Key(HWND target, UINT msg, WPARAM key) { PostMessageA(target, msg, key, 0); }

    // The exit code once the process has ended; -1 when it is still running.
    int ExitCode(DWORD timeoutMs = 20000) {
        if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
        DWORD code = 0;
        GetExitCodeProcess(process_.get(), &code);
        process_.reset();
        return static_cast<int>(code);
    }

    // OK with what the window shows: every value and both ticks saved.
    void Settle() {
        Open();
        Click(kIdOk);
        ASSERT_EQ(ExitCode(), 0);
    }

    // A click on tab `index`, at the middle of its rectangle as the window's process reports it.
    void ClickTab(int index) {
        const HWND tabs = Control(kIdTabs);
        RECT* remote = static_cast<RECT*>(
            VirtualAllocEx(process_.get(), nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        ASSERT_NE(remote, nullptr);
        RECT r = {};
        ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote)));
        ASSERT_TRUE(ReadProcessMemory(process_.get(), remote, &r, sizeof r, nullptr));
        VirtualFreeEx(process_.get(), remote, 0, MEM_RELEASE);
        const LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(tabs, WM_LBUTTONUP, 0, at);
    }

    HWND FocusOf() const {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(window_, nullptr), &info);
        return info.hwndFocus;
    }

    // The preview of `saver` has started the `times`th time, into the preview image, and shows its
    // window there.
    bool PreviewShows(const char* saver, size_t times) {
        const HWND image = Control(kIdPreviewImage);
        const std::string started = "/p " + std::to_string(reinterpret_cast<uintptr_t>(image));
        return PumpUntil([&] {
            return Count(LogOf(saver), started) >= times && FindWindowExA(image, nullptr, "VantoraFixture", saver);
        });
    }

    std::string ListFile() const { return AppDataFolder() + "\\Vantora\\saverlist.dat"; }

    UrlLog urls_;
    UniqueFile held_;
    UniqueHandle process_;
    HWND window_ = nullptr;
};

TEST_F(SettingsWindowRun, WindowIsCentredWithItsFirstFocusAndDeafToEnterAndEsc) {
    Open("");
    RECT r = {};
    GetWindowRect(window_, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);

    ASSERT_EQ(FocusOf(), Control(kIdTabs));
    for (WPARAM key : {VK_RETURN, VK_ESCAPE}) {
        Key(FocusOf(), WM_KEYDOWN, key);
        Key(FocusOf(), WM_CHAR, key);
    }
    // Posted after them: once Tab has moved the focus, Enter and Esc have been handled.
    Key(FocusOf(), WM_KEYDOWN, VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return FocusOf() != Control(kIdTabs); }));
    EXPECT_EQ(FocusOf(), Control(kIdSaverList));
    EXPECT_EQ(WaitForSingleObject(process_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(ReadSettingString("Order"), "");  // nothing saved
}

// What is typed and ticked, and what OK must save for it.
struct OkCase {
    const char* waitMinutes;
    const char* waitSeconds;
    const char* changeMinutes;
    int orderRow;
    std::vector<int> clicks;
    const char* order;
    const char* changeTime;
    const char* delay;
    const char* restore;  // "RestoreSaver" and "RestoreDelay" alike; nullptr: not looked at
    const char* secure;   // "ScreenSaverIsSecure"; nullptr: not looked at
    bool agentEntry;
    bool installed;
    const char* curtainAndSkip;  // "Curtain" and "SkipFailed"; nullptr: not looked at
};

TEST_F(SettingsWindowRun, OkSavesTheControlsClampedAndTheTicksThenExitsZero) {
    // clang-format off
    const OkCase cases[] = {
        // Letters refused, a huge interval clamped; once a day clears change every; the agent
        // ticks both of its options. The two run options show what is stored ("SkipFailed" 0 here)
        // and save what they show.
        {"7", "abc", "66666", 2, {kIdChangeOnceADay, kIdAgent, kIdPassword, kIdBlackBetween},
         "10", "10000", "420", "1", "1", true, true, "00"},
        // No wait at all is 1 second, an emptied field keeps what it showed; change every clears
        // once a day; clearing the agent clears its options, whatever the greyed boxes show.
        {"0", "0", "", 1, {kIdChangeEvery, kIdAgent, kIdPassword, kIdBlackBetween, kIdSkipFailed},
         "20", "10000", "1", "0", "0", false, true, "11"},
        // A broken install loses nothing: after the box the window works and OK keeps the ticks
        // instead of ending in a bug report. The agent, which is not there, cannot be entered.
        {"", "", "", 0, {kIdAgent}, "17", "10000", "1", nullptr, nullptr, false, false, nullptr},
    };
    // clang-format on
    for (const OkCase& c : cases) {
        SCOPED_TRACE(c.order);
        if (!c.installed) SetInstallPath("");
        Open("/c", !c.installed);
        EXPECT_EQ(IsWindowEnabled(Control(kIdAgent, "Button")) != FALSE, c.installed);
        Type(kIdWaitMinutes, c.waitMinutes);
        Type(kIdWaitSeconds, c.waitSeconds);
        Type(kIdChangeMinutes, c.changeMinutes);
        SendMessageA(Control(kIdOrder), CB_SETCURSEL, static_cast<WPARAM>(c.orderRow), 0);
        for (int id : c.clicks)
            SendMessageA(Control(id, "Button"), BM_CLICK, 0, 0);
        // Space on the second row unticks it.
        const HWND list = Control(kIdSaverList);
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        Key(list, WM_CHAR, VK_SPACE);
        ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list, LB_GETITEMDATA, 1, 0) == 0; }));
        Click(kIdOk);
        ASSERT_EQ(ExitCode(), 0);

        EXPECT_EQ(ReadSettingString("Order"), c.order);
        EXPECT_EQ(ReadSettingString("ChangeTime"), c.changeTime);
        EXPECT_EQ(ReadSettingString("Delay"), c.delay);
        if (c.restore) {
            EXPECT_EQ(ReadSettingString("RestoreSaver"), c.restore);
            EXPECT_EQ(ReadSettingString("RestoreDelay"), c.restore);
        }
        if (c.curtainAndSkip) {
            EXPECT_EQ(ReadSettingString("Curtain") + ReadSettingString("SkipFailed"), c.curtainAndSkip);
        }
        // This process keeps the system timeout it read first: the stored one counts.
        EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaveTimeOut"), c.delay);
        if (c.secure) {
            EXPECT_EQ(RegText(HKEY_CURRENT_USER, "Control Panel\\Desktop", "ScreenSaverIsSecure"), c.secure);
        }
        EXPECT_EQ(RegText(HKEY_CURRENT_USER, kRunKey, "Vantora") != "(none)", c.agentEntry);

        TSaverList list2;
        list2.LoadFromFile(ListFile());
        ASSERT_EQ(list2.Count(), 2);
        EXPECT_EQ(list2.GetItem(0).Description, "Fixture Saver");  // cut at the zero byte of its resource
        EXPECT_TRUE(list2.GetItem(0).Checked);
        EXPECT_FALSE(list2.GetItem(1).Checked);
        list2.ItemPtr(1).Checked = true;  // ticked again for the next case
        list2.SaveToFile(ListFile());
    }
}

TEST_F(SettingsWindowRun, CancelAndTheCloseButtonWriteNothing) {
    Settle();
    Open();  // the start after OK checks the data folder it chose
    Click(kIdCancel);
    ASSERT_EQ(ExitCode(), 0);
    const std::string before = Snapshot(ListFile());

    for (bool viaClose : {false, true}) {
        SCOPED_TRACE(viaClose);
        Open();
        Type(kIdWaitMinutes, "9");
        SendMessageA(Control(kIdAgent, "Button"), BM_CLICK, 0, 0);
        Key(Control(kIdSaverList), WM_CHAR, VK_SPACE);
        if (viaClose) {
            PostMessageA(window_, WM_CLOSE, 0, 0);
        } else {
            Click(kIdCancel);
        }
        ASSERT_EQ(ExitCode(), 0);
        EXPECT_EQ(Snapshot(ListFile()), before);
    }
}

// The process of the saver started with `switchText` (its first such start).
UniqueHandle ProcessOf(const std::string& log, const std::string& switchText) {
    const size_t start = log.find(switchText);
    const size_t pid = log.find("pid=", start);
    if (start == std::string::npos || pid == std::string::npos) return UniqueHandle();
    return UniqueHandle(OpenProcess(SYNCHRONIZE, FALSE, std::stoul(log.substr(pid + 4))));
}

// A preview that never answers, whatever ends it: OK, Cancel and the close button end the window,
// a second click while the first stops the preview changes nothing, and the saver buttons, the
// test run and a tab change go on, each within the stop's bound.
TEST_F(SettingsWindowRun, EveryWayPastAFrozenPreviewGoesOnWithinItsBound) {
    constexpr DWORD kBound = 15000;  // the stop's 0.5 s and 2 s, and a slow machine; frozen is for good
    enum class Then { Saved, NotSaved, Logs, PreviewEnds, ClosingEndsTheDialog };
    const struct {
        std::vector<int> clicks;  // 0: the close button
        Then then;
        const char* logged;  // by either saver
        bool frozenDialog = false;
    } rows[] = {
        {{kIdOk}, Then::Saved, nullptr},
        {{kIdOk, kIdCancel}, Then::Saved, nullptr},
        {{kIdCancel, kIdOk}, Then::NotSaved, nullptr},
        {{0}, Then::NotSaved, nullptr},
        {{kIdSaverSettings}, Then::Logs, "/c:"},
        {{kIdSaverPreview}, Then::Logs, " /s"},
        {{kIdTestRun}, Then::Logs, " /s"},
        {{kIdTabs}, Then::PreviewEnds, nullptr},
        // Closing the window ends a saver's own settings dialog too, one that answers by closing
        // and one that never answers within the bound.
        {{kIdSaverSettings}, Then::ClosingEndsTheDialog, "/c:"},
        {{kIdSaverSettings}, Then::ClosingEndsTheDialog, "/c:", true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.clicks.front() << " " << row.clicks.size());
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        WriteSettingString("SkipFailed", "0");  // the test run ends with the fixture closed below
        for (const char* saver : kSavers)
            DeleteFileA((kSystem + "\\" + saver + ".log").c_str());
        WriteWholeFile(kSystem + "\\vt_a_run.mode", "freeze");
        Open();
        ASSERT_TRUE(PumpUntil([&] { return LogOf("vt_a_run").find("frozen") != std::string::npos; }));
        if (!row.frozenDialog) DeleteFileA((kSystem + "\\vt_a_run.mode").c_str());  // later starts answer
        const UniqueHandle preview = ProcessOf(LogOf("vt_a_run"), " /p ");
        ASSERT_TRUE(preview);
        for (int id : row.clicks) {
            if (id == kIdTabs) {
                ClickTab(kOptionsPageIndex);
            } else if (id == 0) {
                PostMessageA(window_, WM_CLOSE, 0, 0);
            } else {
                Click(id);
            }
        }
        if (row.then == Then::Saved || row.then == Then::NotSaved) {
            ASSERT_EQ(ExitCode(kBound), 0);
            EXPECT_EQ(ReadSettingString("Order").empty(), row.then == Then::NotSaved);
            continue;
        }
        if (row.then == Then::ClosingEndsTheDialog) {
            ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_a_run"), row.logged) == 1; }));
            const UniqueHandle dialog = ProcessOf(LogOf("vt_a_run"), row.logged);
            ASSERT_TRUE(PumpUntil([] { return FindWindowA("VantoraFixture", "vt_a_run") != nullptr; }));
            PostMessageA(window_, WM_CLOSE, 0, 0);
            ASSERT_EQ(ExitCode(kBound), 0);
            EXPECT_EQ(WaitForSingleObject(dialog.get(), 0), WAIT_OBJECT_0);
            EXPECT_EQ(Count(LogOf("vt_a_run"), "closed"), row.frozenDialog ? 0u : 1u);  // asked first
            continue;
        }
        if (row.then == Then::Logs) {
            EXPECT_TRUE(PumpUntil(
                [&] { return (LogOf("vt_a_run") + LogOf("vt_b_run")).find(row.logged) != std::string::npos; }, kBound));
            EXPECT_TRUE(PumpUntil([] { return FindWindowA("VantoraFixture", nullptr) != nullptr; }));
            CloseFixtures();
        }
        EXPECT_EQ(WaitForSingleObject(preview.get(), kBound), WAIT_OBJECT_0);
        Click(kIdCancel);
        ASSERT_EQ(ExitCode(), 0);
    }
}

// The preview box's "Settings" and "Preview" and the bottom "Preview" each run a saver outside the
// preview and bring the preview back when it ends.
TEST_F(SettingsWindowRun, SaverButtonsAndTheTestRunReturnToTheLivePreview) {
    Open();
    ASSERT_TRUE(PreviewShows("vt_a_run", 1));
    auto closeTopLevel = [](const char* saver) {
        HWND shown = nullptr;
        EXPECT_TRUE(PumpUntil([&] { return (shown = FindWindowA("VantoraFixture", saver)) != nullptr; }));
        PostMessageA(shown, WM_CLOSE, 0, 0);
    };
    const HWND saverButtons[] = {Control(kIdSaverSettings), Control(kIdSaverPreview)};

    Click(kIdSaverSettings);
    const std::string owner = "/c:" + std::to_string(reinterpret_cast<uintptr_t>(window_));
    ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_a_run"), owner) == 1; }));
    ASSERT_TRUE(PumpUntil([&] { return !IsWindowEnabled(saverButtons[0]) && !IsWindowEnabled(saverButtons[1]); }));
    EXPECT_EQ(Count(LogOf("vt_a_run"), "closed"), 1u);  // the preview made way
    closeTopLevel("vt_a_run");
    ASSERT_TRUE(PreviewShows("vt_a_run", 2));
    EXPECT_TRUE(IsWindowEnabled(saverButtons[0]) && IsWindowEnabled(saverButtons[1]));

    Click(kIdSaverPreview);
    ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_a_run"), " /s") == 1; }));
    closeTopLevel("vt_a_run");
    ASSERT_TRUE(PreviewShows("vt_a_run", 3));

    // Reverse, shown but never saved, makes the rotation begin with the last saver.
    SendMessageA(Control(kIdOrder), CB_SETCURSEL, 1, 0);
    Click(kIdTestRun);
    ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_b_run"), " /s") == 1; }));
    closeTopLevel("vt_b_run");
    ASSERT_TRUE(PreviewShows("vt_a_run", 4));
    EXPECT_EQ(ReadSettingString("Prev"), "1?" + kSystem + "\\vt_b_run.scr");

    // Closed while a test run runs: the window goes once the run is over, not under it.
    Click(kIdTestRun);
    ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_a_run"), " /s") == 2; }));
    DWORD_PTR answer = 0;
    EXPECT_TRUE(SendMessageTimeoutA(window_, WM_CLOSE, 0, 0, SMTO_NORMAL, 20000, &answer));
    EXPECT_TRUE(IsWindow(window_));
    closeTopLevel("vt_a_run");
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(ReadSettingString("Order"), "");
}

// The test run unticks a saver that cannot come to the front at its change time (a minute, the
// least the field holds) in the window's list only: the unsaved untick of the other row and the
// run's own both show, and Cancel leaves the list file as it was.
TEST_F(SettingsWindowRun, ATestRunShowsItsUntickButLeavesTheListFileToOk) {
    Settle();
    const std::string before = ReadWholeFile(ListFile());
    WriteWholeFile(kSystem + "\\vt_a_run.mode", "nofocus");
    Open();
    Type(kIdChangeMinutes, "1");
    const HWND list = Control(kIdSaverList);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    Key(list, WM_CHAR, VK_SPACE);
    ASSERT_TRUE(PumpUntil([&] { return SendMessageA(list, LB_GETITEMDATA, 1, 0) == 0; }));
    Click(kIdTestRun);
    ASSERT_TRUE(PumpUntil([&] { return Count(LogOf("vt_a_run"), " /s") == 1; }));
    EXPECT_TRUE(PumpUntil([&] { return SendMessageA(list, LB_GETITEMDATA, 0, 0) == 0; }, 120000));
    EXPECT_EQ(ReadWholeFile(ListFile()), before);
    Click(kIdCancel);
    EXPECT_EQ(ExitCode(), 0);
    EXPECT_EQ(ReadWholeFile(ListFile()), before);
}

// A list file that cannot be replaced: OK writes nothing at all, a box names the file and the
// reason, and the window keeps every edit, so OK works once the file can be written again.
TEST_F(SettingsWindowRun, AListFileThatCannotBeWrittenSavesNothingAndKeepsTheWindowForAnotherTry) {
    Settle();
    const std::string list = ListFile();
    const struct {
        const char* name;
        std::function<void()> block, unblock;
    } rows[] = {
        {"a folder in its place",
         [&] { MoveFileA(list.c_str(), (list + ".away").c_str()), CreateDirectoryA(list.c_str(), nullptr); },
         [&] { RemoveDirectoryA(list.c_str()), MoveFileA((list + ".away").c_str(), list.c_str()); }},
        {"held by another program",
         [&] { held_.reset(CreateFileA(list.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)); },
         [&] { held_.reset(); }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        Open();
        const std::string before = Snapshot(list);  // after the start's own data-folder check
        Type(kIdWaitMinutes, "9");
        const HWND saverList = Control(kIdSaverList);
        Key(saverList, WM_CHAR, VK_SPACE);  // the first row, selected by the preview, is unticked
        ASSERT_TRUE(PumpUntil([&] { return SendMessageA(saverList, LB_GETITEMDATA, 0, 0) == 0; }));
        row.block();
        Click(kIdOk);
        const MessageBoxSeen box = AnswerMessageBox();
        EXPECT_NE(box.text.find("\"" + list + "\""), std::string::npos) << box.text;
        EXPECT_TRUE(IsWindow(window_));
        EXPECT_EQ(WaitForSingleObject(process_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
        row.unblock();
        EXPECT_EQ(Snapshot(list), before);

        Click(kIdOk);
        ASSERT_EQ(ExitCode(), 0);
        EXPECT_EQ(ReadSettingString("Delay"), "540");
        TSaverList saved;
        saved.LoadFromFile(list);
        ASSERT_EQ(saved.Count(), 2);
        EXPECT_FALSE(saved.GetItem(0).Checked);
        saved.ItemPtr(0).Checked = true;  // ticked again for the next row
        saved.SaveToFile(list);
        WriteSettingString("Delay", "300");
    }
}

// The window built in this process, where the test can give focus, read pixels and feed keys.
class SettingsWindowInProcess : public ::testing::Test {
protected:
    // Over `settings` and three savers, the first unticked.
    void Open(const Settings& settings) {
        TSaverList savers;
        for (const char* name : {"calm", "ticked", "unticked"}) {
            ASSERT_TRUE(
                CopyFileA((BinFolder() + "\\fixture.scr").c_str(), (dir_ / name + std::string(".scr")).c_str(), FALSE));
            savers.Add(MakeSaverItem(name, dir_ / name + std::string(".scr")));
            savers.ItemPtr(savers.Count() - 1).Checked = std::string(name) == "ticked";
        }
        windows_ = ThreadWindows();
        window_ = OpenSettingsWindow(settings, std::move(savers), [&] { destroyed_ = true; });
        ASSERT_NE(window_, nullptr);
        image_ = Find(kIdPreviewImage);
        ASSERT_TRUE(
            PumpUntil([&] { return FindWindowExA(image_, nullptr, "VantoraFixture", "calm") != nullptr; }, 20000));
    }
    void TearDown() override {
        if (IsWindow(window_)) DestroyWindow(window_);
    }
    HWND Find(int id, const char* className = nullptr) const { return FindDescendant(window_, id, className); }
    // The message as the window's loop would handle it.
    void Feed(HWND target, WPARAM key) {
        MSG msg = {target, WM_KEYDOWN, key, 0, 0, {}};
        if (!PreTranslateSettingsMessage(window_, msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        PumpMessages();
    }

    TestFolder dir_;
    HWND window_ = nullptr;
    HWND image_ = nullptr;
    bool destroyed_ = false;
    int windows_ = 0;
};

struct TextSearch {
    std::string text;
    HWND found;
};

BOOL CALLBACK MatchText(HWND w, LPARAM search) {
    auto* s = reinterpret_cast<TextSearch*>(search);
    if (ControlText(w) == s->text) s->found = w;
    return !s->found;
}

HWND ControlWithText(HWND window, const std::string& text) {
    TextSearch search{text, nullptr};
    EnumChildWindows(window, MatchText, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The pixels of `rect` of `window` as the screen shows them.
std::vector<COLORREF> PixelsOf(HWND window, const RECT& rect) {
    ScopedGetDc dc(window);
    std::vector<COLORREF> pixels;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            pixels.push_back(GetPixel(dc.get(), x, y));
    return pixels;
}

// Stored values the window cannot show as they are, then what a user sees and does: greyed
// controls, ticks on screen, fields that follow their rule when left, and the keyboard.
TEST_F(SettingsWindowInProcess, ShowsWhatItWillSaveAndAnswersTheKeyboard) {
    UrlLog urls;
    Settings settings;
    settings.OrderMode = 7;  // no such order: shown, and saved, as the first
    settings.ChangeEvery = false;
    settings.ChangeTime = 66666;  // beyond what the fields hold: shown as their largest values
    settings.Delay = 66666 * 60;
    settings.InstallPath = dir_.path();  // without vtagent.exe
    Open(settings);

    EXPECT_EQ(SendMessageA(Find(kIdOrder), CB_GETCURSEL, 0, 0), 0);
    const HWND previewBox = GetParent(image_);
    EXPECT_EQ(ControlText(Find(kIdWaitMinutes, "Edit")) + " " + ControlText(Find(kIdWaitSeconds, "Edit")), "9999 59");
    EXPECT_EQ(ControlText(Find(kIdChangeMinutes, "Edit")), "10000");

    // The sunken ring hugs the image and the raised one lies outside it, at this screen's DPI.
    RECT r = {};
    GetWindowRect(image_, &r);
    MapWindowPoints(nullptr, previewBox, reinterpret_cast<POINT*>(&r), 2);
    const int middle = (r.top + r.bottom) / 2;
    ASSERT_TRUE(PumpUntil([&] {
        ScopedGetDc dc(previewBox);
        return GetPixel(dc.get(), r.left - 1, middle) == GetSysColor(COLOR_BTNSHADOW) &&
               GetPixel(dc.get(), r.left - 1 - ScaleDpi(kFrameNearGap), middle) == GetSysColor(COLOR_BTNHIGHLIGHT);
    }));
    const HWND orderBox = GetParent(Find(kIdOrder));
    const HWND changeMinutes = Find(kIdChangeMinutes, "Edit");
    const HWND greyed[] = {
        changeMinutes,  Find(kIdChangeMinutesUpDown), FindWindowExA(orderBox, nullptr, "Static", "minutes"),
        Find(kIdAgent), Find(kIdRestoreSaver),        Find(kIdRestoreDelay)};
    for (HWND control : greyed) {
        ASSERT_NE(control, nullptr);
        EXPECT_FALSE(IsWindowEnabled(control)) << ControlText(control);
    }
    // The greyed agent box says why.
    HWND tips = nullptr;
    while ((tips = FindWindowExA(nullptr, tips, TOOLTIPS_CLASSA, nullptr)) && GetWindow(tips, GW_OWNER) != window_) {
    }
    ASSERT_NE(tips, nullptr);
    std::string said;
    for (int i = 0; i < SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0); ++i) {
        char text[256] = {};
        TTTOOLINFOA tool = {};
        tool.cbSize = TTTOOLINFOA_V1_SIZE;
        tool.lpszText = text;
        SendMessageA(tips, TTM_ENUMTOOLSA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&tool));
        said += std::string(text) + "\n";
    }
    EXPECT_NE(said.find(kAgentMissingTip), std::string::npos);

    // A ticked and an unticked row, neither selected, differ in their check boxes.
    const HWND list = Find(kIdSaverList);
    auto box = [&](int row) {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        r.right = r.left + CheckBoxSize() + 1;
        return PixelsOf(list, r);
    };
    UpdateWindow(list);
    EXPECT_NE(box(1), box(2));

    // Each field keeps what is typed while it has the focus and shows what it will save once left.
    SendMessageA(Find(kIdChangeEvery, "Button"), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(changeMinutes));
    const struct {
        int id;
        const char* typed;
        const char* shown;
    } typing[] = {
        {kIdWaitSeconds, "7", "7"},     {kIdWaitSeconds, "65536", "59"}, {kIdWaitSeconds, "abc", "59"},
        {kIdWaitMinutes, "-3", "0"},    {kIdWaitMinutes, "", "0"},       {kIdChangeMinutes, "0", "30"},
        {kIdChangeMinutes, "12", "12"}, {kIdChangeMinutes, "x", "12"},
    };
    for (const auto& t : typing) {
        SCOPED_TRACE(t.typed);
        const HWND edit = Find(t.id, "Edit");
        SetFocus(edit);
        SetWindowTextA(edit, t.typed);
        EXPECT_EQ(ControlText(edit), t.typed);
        SetFocus(list);
        EXPECT_EQ(ControlText(edit), t.shown);
    }

    // Ctrl+Tab and Ctrl+PageUp change pages both ways round.
    const HWND tabs = Find(kIdTabs);
    BYTE keys[256] = {}, before[256] = {};
    GetKeyboardState(before);
    keys[VK_CONTROL] = 0x80;
    SetKeyboardState(keys);
    Feed(tabs, VK_PRIOR);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), kAboutPageIndex);
    Feed(tabs, VK_TAB);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), kScreensaversPageIndex);
    Feed(tabs, VK_NEXT);
    SetKeyboardState(before);
    ASSERT_EQ(SendMessageA(tabs, TCM_GETCURSEL, 0, 0), kOptionsPageIndex);
    EXPECT_TRUE(PumpUntil([&] { return FindWindowExA(image_, nullptr, nullptr, nullptr) == nullptr; }));

    // Tab passes the greyed agent boxes to the first link, which shows the focus and opens with
    // Enter; the next one opens with Space.
    const HWND first = ControlWithText(window_, "Tidewall");
    ASSERT_NE(first, nullptr);
    RECT client = {};
    GetClientRect(first, &client);
    UpdateWindow(window_);
    PumpMessages();
    const std::vector<COLORREF> unfocused = PixelsOf(first, client);
    SetFocus(tabs);
    Feed(tabs, VK_TAB);
    ASSERT_EQ(GetFocus(), first);
    UpdateWindow(GetParent(first));
    EXPECT_NE(PixelsOf(first, client), unfocused);
    Feed(first, VK_RETURN);
    ASSERT_EQ(urls.WaitForLines(1).size(), 1u);  // two shell starts at once could log in either order
    Feed(first, VK_TAB);
    Feed(GetFocus(), VK_SPACE);
    EXPECT_EQ(urls.WaitForLines(2), (std::vector<std::string>{kOptionsPage[5].target, kOptionsPage[6].target}));

    // Destroyed, it has stopped the preview and leaves no window behind, the tooltip window included.
    DestroyWindow(window_);
    EXPECT_TRUE(destroyed_);
    EXPECT_NE(ReadWholeFile(dir_ / "calm.log").find("closed"), std::string::npos);
    EXPECT_EQ(ThreadWindows(), windows_);
}

// Where the window's controls sit at this process's DPI: reported for the test below.
TEST(SettingsWindowAtDpi, DISABLED_Report) {
    Settings settings;
    bool destroyed = false;
    const HWND window = OpenSettingsWindow(settings, TSaverList(), [&] { destroyed = true; });
    ASSERT_NE(window, nullptr);
    auto report = [](const char* name, HWND control) {
        RECT r = {};
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
        ChildReport(std::string(name) + " " + std::to_string(r.left) + " " + std::to_string(r.top) + " " +
                    std::to_string(r.right) + " " + std::to_string(r.bottom));
    };
    report("ok", FindDescendant(window, kIdOk, "Button"));
    report("order", FindWindowExA(FindWindowExA(window, nullptr, "Tallowen TPage", nullptr), nullptr, "Button",
                                  "Display order"));
    RECT r = {};
    GetWindowRect(ControlWithText(window, "Tidewall"), &r);
    ChildReport("link " + std::to_string(r.right - r.left) + " " + std::to_string(TextWidth("Tidewall")));
    DestroyWindow(window);
}

// Each edge is its own layout value scaled, and a link is as wide as its text measures.
TEST(SettingsWindowAtDpi, ControlsSitOnTheirScaledLayout) {
    for (int dpi : {120, 144}) {
        SCOPED_TRACE(dpi);
        RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
        const std::vector<std::string> lines = RunChildTest("SettingsWindowAtDpi.DISABLED_Report");
        auto rect = [&](const ControlLayout& row, int top) {
            const int x = ScaleDpi(row.x, dpi), y = ScaleDpi(top, dpi);
            return std::to_string(x) + " " + std::to_string(y) + " " + std::to_string(x + ScaleDpi(row.width, dpi)) +
                   " " + std::to_string(y + ScaleDpi(row.height, dpi));
        };
        ASSERT_EQ(lines.size(), 3u);
        EXPECT_EQ(lines[0], "ok " + rect(kWindowControls[1], kWindowControls[1].y));
        EXPECT_EQ(lines[1], "order " + rect(kScreensaversPage[13], kScreensaversPage[13].y));
        const size_t space = lines[2].find(' ', 5);
        EXPECT_EQ(lines[2].substr(5, space - 5), lines[2].substr(space + 1));
    }
    const DWORD dpi = 96;
    RegSetKeyValueA(HKEY_CURRENT_USER, "Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
}

}  // namespace
