// Loading and saving the settings against the registry, the system's screensaver settings and a
// stand-in tray agent.
#include <gtest/gtest.h>
#include <windows.h>

#include <shellapi.h>

#include "app/DynCalls_win.h"
#include "app/Exception.h"
#include "catalogue/Catalogue_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"
#include "settings/SystemIntegration_win.h"
#include "tests/wine/SettingsSupport.h"

namespace {

const char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kDesktopKey[] = "\\Control Panel\\Desktop";
const char kElsewhereAgent[] = "\"C:\\elsewhere\\vtagent.exe\"";

std::string Value(const char* key, const char* name) { return RegText(HKEY_CURRENT_USER, key + 1, name); }

// nullptr deletes the value.
void SetValue(const char* key, const char* name, const char* value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    value ? reg.WriteString(name, value) : reg.DeleteValue(name);
}

// What the shell was asked to open, then passed on to the real shell.
std::vector<std::string> shellOpens;
HINSTANCE WINAPI RecordShellOpen(HWND owner, LPCSTR verb, LPCSTR file, LPCSTR parameters, LPCSTR folder, INT show) {
    shellOpens.push_back(std::string(verb) + "|" + file + "|" + parameters + "|" + folder + "|" + std::to_string(show));
    return ShellExecuteA(owner, verb, file, parameters, folder, show);
}

int agentHeard = 0;  // settings-changed messages that reached the stand-in agent window

LRESULT CALLBACK AgentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAgentSettingsChanged && wParam == 0 && lParam == 0) ++agentHeard;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// The settings as loaded, summed up in one line.
std::string Summary(const Settings& s) {
    std::string text = "order " + std::to_string(s.OrderMode) + ", change " + std::to_string(s.ChangeTime) +
                       ", delay " + std::to_string(s.Delay);
    const std::pair<const char*, bool> flags[] = {
        {"once a day", s.ChangeOnceADay},  {"every", s.ChangeEvery},          {"new day", s.NewDay},
        {"agent", s.AgentEnabled},         {"restore saver", s.RestoreSaver}, {"restore delay", s.RestoreDelay},
        {"password", s.PasswordProtected}, {"black between", s.BlackBetween}, {"skip failed", s.SkipFailed}};
    for (const auto& [name, on] : flags) {
        if (on) text += std::string(", ") + name;
    }
    return text;
}

Settings LoadedSettings() {
    Settings s;
    s.Load(StartNotices::Show);
    return s;
}

class SettingsStore : public ::testing::Test {
protected:
    void SetUp() override {
        Reset(420);
        SetInstallPath(install.path());
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
    }
    void TearDown() override {
        Reset(300);
        SetInstallPath("");
    }
    static void Reset(int32_t systemTimeout) {
        SetValue(kRunKey, "Vantora", nullptr);
        SetValue(kDesktopKey, "ScreenSaverIsSecure", nullptr);
        SetSystemScreenSaveTimeout(systemTimeout);
    }

    TestFolder install;
    UrlLog urls;  // an agent started by the shell logs here too
};

TEST_F(SettingsStore, StoredValuesAreDecodedClampedAndSavedBack) {
    WriteSettingString("Order", "11");
    WriteSettingString("ChangeTime", "-5");
    WriteSettingString("Curtain", "0");
    WriteSettingString("SkipFailed", "-3");  // clamped to 0
    Settings s = LoadedSettings();
    EXPECT_EQ(Summary(s), "order 1, change 0, delay 420, once a day, new day");
    EXPECT_EQ(s.Save(), SaveResult::Saved);
    EXPECT_EQ(ReadSettingString("Order"), "9");
    EXPECT_EQ(ReadSettingString("ChangeTime"), "0");
    EXPECT_EQ(ReadSettingString("Delay"), "420");
    EXPECT_EQ(ReadSettingString("Curtain") + ReadSettingString("SkipFailed"), "00");

    WriteSettingString("Order", "abc");
    WriteSettingString("ChangeTime", "2000000000");
    WriteSettingString("Curtain", "7");
    WriteSettingString("SkipFailed", "on");  // not a number: the default
    s = LoadedSettings();
    EXPECT_EQ(Summary(s), "order 1, change 1000000000, delay 420, every, new day, black between, skip failed");
    s.OrderMode = 2;
    s.ChangeOnceADay = true;
    s.Delay = 555;
    EXPECT_EQ(s.Save(), SaveResult::Saved);
    EXPECT_EQ(ReadSettingString("Order"), "26");
    EXPECT_EQ(ReadSettingString("Delay"), "555");
    EXPECT_EQ(ReadSettingString("Curtain") + ReadSettingString("SkipFailed"), "11");
    EXPECT_EQ(SystemScreenSaveTimeout(), 555);  // the system's inactivity time follows "Delay"
}

TEST_F(SettingsStore, OnlyTodaysOrderDateIsNotANewDay) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    // Today with a time of day is not today's date.
    const std::pair<double, bool> cases[] = {{TodayDate(), false}, {TodayDate() - 1, true}, {TodayDate() + 0.5, true}};
    for (const auto& [date, newDay] : cases) {
        reg.WriteDate("OrderDate", date);
        EXPECT_EQ(LoadedSettings().NewDay, newDay) << date;
    }
}

// "Delay" 300 is stored: with the agent and "Restore Wait time" it wins over the system's timeout
// and is put back; otherwise the system's is adopted, unless that is 86640, which Windows sets itself.
TEST_F(SettingsStore, WaitTimeSynchronisation) {
    const struct {
        bool agent;
        const char* restoreDelay;
        int32_t system, expected;
    } cases[] = {{true, "1", 600, 300}, {true, "0", 600, 600}, {false, "1", 600, 600}, {true, "0", 86640, 300}};
    for (const auto& c : cases) {
        SetValue(kRunKey, "Vantora", c.agent ? kElsewhereAgent : nullptr);
        WriteSettingString("Delay", "300");
        WriteSettingString("RestoreDelay", c.restoreDelay);
        WriteSettingString("RestoreSaver", "1");
        SetSystemScreenSaveTimeout(c.system);
        const Settings s = LoadedSettings();
        EXPECT_EQ(s.Delay, c.expected) << c.agent << c.restoreDelay << " " << c.system;
        EXPECT_EQ(SystemScreenSaveTimeout(), c.expected);
        EXPECT_EQ(s.RestoreSaver, c.agent);  // the agent acts on it; without one it is off
    }
}

TEST_F(SettingsStore, TurningTheAgentOnRegistersStartsAndNotifiesIt) {
    CopyFileA((BinFolder() + "\\urllog.exe").c_str(), (install / "vtagent.exe").c_str(), FALSE);
    Settings s = LoadedSettings();
    s.AgentEnabled = true;
    const auto realShellOpen = std::exchange(DynShell32().ShellExecuteA, RecordShellOpen);
    shellOpens.clear();
    s.Save();
    DynShell32().ShellExecuteA = realShellOpen;
    const std::string agentPath = "\"" + install.path() + "\\vtagent.exe\"";
    EXPECT_EQ(Value(kRunKey, "Vantora"), agentPath);
    EXPECT_EQ(shellOpens, std::vector<std::string>{"open|" + agentPath + "||\"" + install.path() + "\"|0"});
    EXPECT_EQ(urls.WaitForLines(1).size(), 1u);  // no agent window: the agent was started

    const HWND agent = MakeTestWindow(kAgentWindowClass, kAgentWindowTitle, AgentProc, WS_OVERLAPPED);
    agentHeard = 0;
    s.Save();
    NotifyAgent();
    PumpMessages();
    EXPECT_EQ(agentHeard, 1);
    Sleep(500);
    EXPECT_EQ(urls.Lines().size(), 1u);  // its window exists: not started again

    s = LoadedSettings();
    ASSERT_TRUE(s.AgentEnabledAtLoad);
    s.AgentEnabled = false;
    s.Save();
    NotifyAgent();
    PumpMessages();
    EXPECT_EQ(Value(kRunKey, "Vantora"), "(none)");
    EXPECT_EQ(agentHeard, 2);  // a running agent still hears about it
    DestroyWindow(agent);
}

// An installer may choose a folder whose name the ANSI code page cannot spell: the program goes
// there by the folder's short name, and registers the agent that is really there.
TEST_F(SettingsStore, AnInstallFolderOutsideTheCodePageIsReachedByItsShortName) {
    const std::wstring folder = ToWide(install.path()) + L"\\\x03a9\x03bc\x03ad\x03b3\x03b1";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    ASSERT_TRUE(CopyFileW(ToWide(BinFolder() + "\\urllog.exe").c_str(), (folder + L"\\vtagent.exe").c_str(), FALSE));
    ASSERT_EQ(RegSetKeyValueW(HKEY_LOCAL_MACHINE, L"Software\\Kestrella\\Vantora", L"Path", REG_SZ, folder.c_str(),
                              static_cast<DWORD>((folder.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    Settings s = LoadedSettings();
    EXPECT_TRUE(FolderExists(s.InstallPath)) << s.InstallPath;
    s.AgentEnabled = true;
    s.Save();
    NotifyAgent();
    const std::string agent = Value(kRunKey, "Vantora");
    ASSERT_GE(agent.size(), 2u);
    EXPECT_TRUE(FileExists(agent.substr(1, agent.size() - 2))) << agent;
    EXPECT_EQ(urls.WaitForLines(1).size(), 1u);  // and started it
}

TEST_F(SettingsStore, UnchangedPasswordProtectionIsNotWritten) {
    SetValue(kDesktopKey, "ScreenSaverIsSecure", "2");
    Settings s = LoadedSettings();
    EXPECT_FALSE(s.PasswordProtected);
    s.Save();
    EXPECT_EQ(Value(kDesktopKey, "ScreenSaverIsSecure"), "2");
    for (const bool on : {true, false}) {
        s.PasswordProtected = on;
        s.Save();
        EXPECT_EQ(Value(kDesktopKey, "ScreenSaverIsSecure"), on ? "1" : "0");
        s = LoadedSettings();
        EXPECT_EQ(s.PasswordProtected, on);
    }
}

TEST(SettingsChild, DISABLED_LoadAndSave) {
    const Settings s = LoadedSettings();
    ChildReport(Summary(s) + "; install " + s.InstallPath + ", list " + s.SaverListFile);
    ChildReport("system timeout " + std::to_string(SystemScreenSaveTimeout()));
    s.Save();
    SaveSaverList(TSaverList(), s.SaverListFile);
    ChildReport(FileExists(s.SaverListFile) ? "saved" : "not saved");
}

// The agent and system steps need the install folder and are skipped; the data folder does not,
// so the ticks are still found and saving still works.
TEST_F(SettingsStore, MissingInstallKeySkipsTheAgentAfterTheMessageButKeepsTheDataFolder) {
    SetInstallPath("");
    SetValue(kRunKey, "Vantora", kElsewhereAgent);
    SetValue(kDesktopKey, "ScreenSaverIsSecure", "1");
    WriteSettingString("Delay", "300");
    WriteSettingString("ChangeTime", "12");
    MessageBoxSeen box;
    const std::vector<std::string> report =
        RunChildTest("SettingsChild.DISABLED_LoadAndSave", [&] { box = AnswerMessageBox(); });
    EXPECT_EQ(box.text, "Corrupted registry.\r\nPlease, Reinstall Vantora");
    EXPECT_EQ(report, (std::vector<std::string>{"order 1, change 12, delay 300, every, new day, restore saver, "
                                                "restore delay, black between, skip failed; install , list " +
                                                    AppDataFolder() + "\\Vantora\\saverlist.dat",
                                                "system timeout 420",  // not synchronised
                                                "saved"}));
    EXPECT_EQ(ReadSettingString("pathind"), "1");
}

}  // namespace
