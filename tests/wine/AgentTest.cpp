// The tray agent as a user's session meets it: a real vtagent.exe, found by its window, driven by
// the messages the settings window and the tray menu send, with the fixture screensaver standing
// in for the installed vantora.scr.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "agent/AgentRules.h"
#include "app/Handles.h"
#include "settings/AgentContract.h"
#include "tests/wine/WineTest.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Kestrella\\Vantora";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kForeignSaver[] = "C:\\windows\\system32\\other.scr";
constexpr DWORD kBoundMs = 20000;

void WriteString(HKEY root, const char* path, const char* name, const std::string& value) {
    ASSERT_EQ(RegSetKeyValueA(root, path, name, REG_SZ, value.c_str(), static_cast<DWORD>(value.size() + 1)),
              ERROR_SUCCESS);
}

// The registry, not SystemParametersInfo: Wine answers the latter from a per-process cache, so only
// the registry shows what another process set.
std::string SystemSaver() { return RegText(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE"); }
std::string SystemActive() { return RegText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive"); }
std::string SystemTimeout() { return RegText(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveTimeOut"); }

void SetSystemTimeout(UINT seconds) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, seconds, nullptr, SPIF_UPDATEINIFILE));
}
void SetSystemActive(bool on) {
    ASSERT_TRUE(SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, on, nullptr, SPIF_UPDATEINIFILE));
}

bool TrayMenuShown() {
    HWND menu = FindWindowA("#32768", nullptr);
    return menu != nullptr && IsWindowVisible(menu);
}

// Right-clicks the agent's icon until its menu shows: the agent adds the icon just after it makes
// its window, so the first click may come before the icon is there.
bool OpenTrayMenu() {
    return PumpUntil([] {
        HWND tray = FindWindowA(nullptr, "Wine System Tray");
        if (tray == nullptr) return false;
        RECT rect{};
        GetWindowRect(tray, &rect);
        const int iconCentre = (rect.bottom - rect.top) / 2;
        ClickAt(nullptr, rect.left + iconCentre, rect.top + iconCentre, true);
        return PumpUntil(TrayMenuShown, 3000);
    });
}

HWND AgentWindow() { return FindWindowA(kAgentWindowClass, kAgentWindowTitle); }

int CountAgentWindows() {
    int count = 0;
    for (HWND w = nullptr; (w = FindWindowExA(nullptr, w, kAgentWindowClass, kAgentWindowTitle)) != nullptr;)
        ++count;
    return count;
}

class AgentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver().c_str(), FALSE));
        WriteWholeFile(folder_ / "vantora.mode", "exit");
        WriteString(HKEY_LOCAL_MACHINE, kSettingsKey, "Saver", saver());
        WriteString(HKEY_CURRENT_USER, kSettingsKey, "Delay", "300");
        ResetSystem();
    }

    void TearDown() override {
        StopAgent();
        RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kSettingsKey, "Saver");
        DeleteRegistryTree(kSettingsKey);
        RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
        SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, 300, nullptr, SPIF_UPDATEINIFILE);
    }

    std::string saver() const { return folder_ / "vantora.scr"; }

    void ResetSystem() {
        WriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", saver());
        SetSystemActive(true);
        SetSystemTimeout(300);
    }

    void StopAgent() {
        if (!agent_) return;
        if (HWND window = AgentWindow()) PostMessageA(window, WM_CLOSE, 0, 0);
        if (WaitForSingleObject(agent_.get(), kBoundMs) != WAIT_OBJECT_0) TerminateProcess(agent_.get(), 1);
        agent_.reset();
    }

    void SetOptions(const char* restoreSaver, const char* restoreDelay) {
        WriteString(HKEY_CURRENT_USER, kSettingsKey, "RestoreSaver", restoreSaver);
        WriteString(HKEY_CURRENT_USER, kSettingsKey, "RestoreDelay", restoreDelay);
    }

    // Starts vtagent.exe, with its log in the test's folder, and returns its window once it exists;
    // the agent makes its window last, when it already watches the system.
    HWND StartAgent() {
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process{};
        std::string commandLine = "\"" + BinFolder() + "\\vtagent.exe\"";
        char temp[MAX_PATH] = {};
        GetEnvironmentVariableA("TMP", temp, MAX_PATH);
        SetEnvironmentVariableA("TMP", folder_.path().c_str());
        const BOOL started = CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                            &startup, &process);
        SetEnvironmentVariableA("TMP", temp[0] != '\0' ? temp : nullptr);
        if (!started) return nullptr;
        CloseHandle(process.hThread);
        agent_.reset(process.hProcess);
        PumpUntil([] { return AgentWindow() != nullptr; });
        return AgentWindow();
    }

    std::string Log() const { return ReadWholeFile(folder_ / "vtagent.log"); }

    TestFolder folder_;
    UniqueHandle agent_;
};

TEST_F(AgentTest, ASecondStartEndsAtOnceAndLeavesTheFirstRunning) {
    ASSERT_NE(StartAgent(), nullptr);
    EXPECT_EQ(RunAndWait("\"" + BinFolder() + "\\vtagent.exe\"", kBoundMs), 0);
    EXPECT_EQ(CountAgentWindows(), 1);
    EXPECT_EQ(WaitForSingleObject(agent_.get(), 0), static_cast<DWORD>(WAIT_TIMEOUT));
}

// Each row changes what the agent must leave first, then what it must put back: once the second
// change has been put back, the agent has also seen the first and must have left it.
TEST_F(AgentTest, PutsBackWhatItsOptionsKeepAndLeavesTheRest) {
    enum SaverFile { kPresent, kMissing, kFolder };
    const struct {
        const char* name;
        const char* restoreSaver;
        const char* restoreDelay;
        const char* delay;
        SaverFile saverFile;
        bool saverBack;
        const char* timeoutAfter;
    } rows[] = {
        {"screensaver kept", "1", "0", "300", kPresent, true, "600"},
        {"wait time kept", "0", "1", "300", kPresent, false, "300"},
        {"a missing vantora.scr is not set", "1", "1", "300", kMissing, false, "300"},
        {"a folder named vantora.scr is not set", "1", "1", "300", kFolder, false, "300"},
        {"wait time held to the window's longest", "0", "1", "1000000000", kPresent, false, "599999"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        SetOptions(row.restoreSaver, row.restoreDelay);
        WriteString(HKEY_CURRENT_USER, kSettingsKey, "Delay", row.delay);
        ResetSystem();
        if (row.saverFile != kPresent) {
            ASSERT_TRUE(DeleteFileA(saver().c_str()));
        }
        if (row.saverFile == kFolder) {
            ASSERT_TRUE(CreateDirectoryA(saver().c_str(), nullptr));
        }
        ASSERT_NE(StartAgent(), nullptr);

        if (row.saverBack) SetSystemTimeout(600);
        WriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", kForeignSaver);
        SetSystemActive(false);
        if (!row.saverBack) SetSystemTimeout(600);
        const std::string saverAfter = row.saverBack ? saver() : kForeignSaver;
        const char* activeAfter = row.saverBack ? "1" : "0";
        EXPECT_TRUE(PumpUntil([&] {
            return SystemSaver() == saverAfter && SystemActive() == activeAfter && SystemTimeout() == row.timeoutAfter;
        })) << SystemSaver()
            << " active " << SystemActive() << " timeout " << SystemTimeout();
        StopAgent();
        if (row.saverFile == kFolder) {
            ASSERT_TRUE(RemoveDirectoryA(saver().c_str()));
        }
        if (row.saverFile != kPresent) {
            ASSERT_TRUE(CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver().c_str(), FALSE));
        }
    }
}

// A rival that sets its own screensaver back on every change: the agent gives way after a few
// rounds, says so in its log, and then leaves the rival's screensaver alone until the user saves
// Vantora's settings.
TEST_F(AgentTest, GivesWayToAProgramThatSetsItsOwnScreensaverBack) {
    SetOptions("1", "0");
    ASSERT_NE(StartAgent(), nullptr);
    UniqueHKey desktop;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_NOTIFY, desktop.put()), ERROR_SUCCESS);
    UniqueHandle changed(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    int rounds = 0;
    DWORD gaveWayAt = 0;
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kBoundMs;) {
        RegNotifyChangeKeyValue(desktop.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET, changed.get(), TRUE);
        if (SystemSaver() != kForeignSaver) {
            WriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", kForeignSaver);
            ++rounds;
        }
        if (gaveWayAt == 0 && Log().find("Another program keeps changing") != std::string::npos) {
            gaveWayAt = GetTickCount();
        }
        // Two quiet seconds after giving way show that the agent stays away.
        if (gaveWayAt != 0 && GetTickCount() - gaveWayAt > 2000) break;
        WaitForSingleObject(changed.get(), 100);
    }
    RecordProperty("rounds", rounds);
    EXPECT_NE(gaveWayAt, 0u) << rounds << " rounds; log:\n" << Log();
    EXPECT_LE(rounds, PutBackGuard::kPutBackBurst + 2);
    EXPECT_EQ(SystemSaver(), kForeignSaver);

    ASSERT_TRUE(PostMessageA(AgentWindow(), kAgentSettingsChanged, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return SystemSaver() == saver(); })) << "log:\n" << Log();
    EXPECT_NE(Log().find("back again: the settings were saved."), std::string::npos) << Log();
}

TEST_F(AgentTest, TheSettingsChangedMessageRereadsTheOptions) {
    SetOptions("0", "0");
    ASSERT_NE(StartAgent(), nullptr);
    WriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", kForeignSaver);
    SetOptions("1", "1");
    WriteString(HKEY_CURRENT_USER, kSettingsKey, "Delay", "420");
    ASSERT_TRUE(PostMessageA(AgentWindow(), kAgentSettingsChanged, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return SystemSaver() == saver() && SystemTimeout() == "420"; }))
        << SystemSaver() << " timeout " << SystemTimeout();
}

// Wine shows notification-area icons in its own "Wine System Tray" window when no X tray runs, so
// the icon can be clicked as a user would. Wine keeps menus per process, so the menu is used from
// the keyboard rather than read.
TEST_F(AgentTest, TheTrayMenuStartsTheInstalledSaverAndExits) {
    ASSERT_NE(StartAgent(), nullptr);
    const std::string log = folder_ / "vantora.log";
    const struct {
        int downs;
        const char* switchText;
    } rows[] = {{1, "/s"}, {2, "/c"}, {3, nullptr}};  // the separator takes no stop
    for (const auto& row : rows) {
        ASSERT_TRUE(OpenTrayMenu());
        for (int i = 0; i < row.downs; ++i)
            PressKey(VK_DOWN);
        PressKey(VK_RETURN);
        if (row.switchText == nullptr) break;
        const std::string expected = "start \"" + saver() + "\" " + row.switchText + " pid=";
        EXPECT_TRUE(PumpUntil([&] { return ReadWholeFile(log).find(expected) != std::string::npos; }))
            << "expected " << expected << " in:\n"
            << ReadWholeFile(log);
        ASSERT_TRUE(PumpUntil([] { return !TrayMenuShown(); }));
    }
    ASSERT_EQ(WaitForSingleObject(agent_.get(), kBoundMs), static_cast<DWORD>(WAIT_OBJECT_0));
    DWORD code = 1;
    GetExitCodeProcess(agent_.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(AgentWindow(), nullptr);
}

// A .reg import or a profile tool deletes Control Panel\Desktop and writes it again; the agent
// must go on watching the new key, every time. Wine's system parameters keep the key they first
// opened for the whole process, so every process that used them before the key was deleted fails
// to write them afterwards: this test comes last, and the tear-down does not rely on them.
TEST_F(AgentTest, GoesOnWatchingWhenTheDesktopKeyIsDeletedAndMadeAgain) {
    const std::string copy = folder_ / "desktop.reg";
    const std::string key = "\"HKCU\\Control Panel\\Desktop\"";
    SetOptions("1", "0");
    ASSERT_NE(StartAgent(), nullptr);
    // Once: each round's deletion and import may cost put-backs of their own, and a few rounds in
    // a row would be taken for a rival program, which the agent gives way to.
    ASSERT_EQ(RunAndWait("reg.exe export " + key + " \"" + copy + "\" /y"), 0);
    ASSERT_EQ(RunAndWait("reg.exe delete " + key + " /f"), 0);
    ASSERT_EQ(RunAndWait("reg.exe import \"" + copy + "\""), 0);
    WriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", kForeignSaver);
    EXPECT_TRUE(PumpUntil([&] { return SystemSaver() == saver(); })) << SystemSaver() << "\n" << Log();
}

}  // namespace
