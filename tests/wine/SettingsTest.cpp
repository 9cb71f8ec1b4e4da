// Loading and saving the settings against the registry, the system's screensaver settings and a
// stand-in tray agent.
#include <gtest/gtest.h>

#include "app/Exception.h"
#include "catalogue/Discovery_win.h"
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

std::string Value(const char* key, const char* name) {
    TRegistry reg(KEY_READ);
    return reg.OpenKey(key, false) && reg.ValueExists(name) ? reg.ReadString(name) : "(none)";
}

// nullptr deletes the value.
void SetValue(const char* key, const char* name, const char* value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(key, true));
    value ? reg.WriteString(name, value) : reg.DeleteValue(name);
}

int agentHeard = 0;  // settings-changed messages that reached the stand-in agent window

LRESULT CALLBACK AgentProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kAgentSettingsChanged && wParam == 0 && lParam == 0) ++agentHeard;
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Loads the settings and sums them up in one line.
std::string Loaded() {
    LoadSettings();
    std::string text = "order " + std::to_string(OrderMode) + ", change " + std::to_string(ChangeTime) + ", delay " +
                       std::to_string(Delay);
    const std::pair<const char*, bool> flags[] = {
        {"once a day", ChangeOnceADay}, {"every", ChangeEvery},          {"new day", NewDay},
        {"agent", AgentEnabled},        {"restore saver", RestoreSaver}, {"restore delay", RestoreDelay},
        {"password", PasswordProtected}};
    for (const auto& [name, on] : flags) {
        if (on) text += std::string(", ") + name;
    }
    return text;
}

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        Reset(420);
        SetInstallPath(install.path());
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        AllSavers.Clear();
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

TEST_F(Settings, EmptyKeyLoadsTheDefaults) {
    EXPECT_EQ(Loaded(), "order 1, change 30, delay 420, every, new day");
    EXPECT_EQ(InstallPath, install.path());
    EXPECT_EQ(SaverListFile, AppDataFolder() + "\\Vantora\\saverlist.dat");
    SetValue(kRunKey, "Vantora", kElsewhereAgent);
    EXPECT_EQ(Loaded(), "order 1, change 30, delay 420, every, new day, agent, restore saver, restore delay");
    EXPECT_EQ(SystemScreenSaveTimeout(), 420);
}

TEST_F(Settings, StoredValuesAreDecodedClampedAndSavedBack) {
    WriteSettingString("Order", "11");
    WriteSettingString("ChangeTime", "-5");
    EXPECT_EQ(Loaded(), "order 1, change 0, delay 420, once a day, new day");
    SaveSettings();
    EXPECT_EQ(ReadSettingString("Order"), "9");
    EXPECT_EQ(ReadSettingString("ChangeTime"), "0");
    EXPECT_EQ(ReadSettingString("Delay"), "420");

    WriteSettingString("Order", "abc");
    WriteSettingString("ChangeTime", "2000000000");
    EXPECT_EQ(Loaded(), "order 1, change 1000000000, delay 420, every, new day");
    OrderMode = 2;
    ChangeOnceADay = true;
    SaveSettings();
    EXPECT_EQ(ReadSettingString("Order"), "26");
}

TEST_F(Settings, OnlyTodaysOrderDateIsNotANewDay) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    // Today with a time of day is not today's date.
    const std::pair<double, bool> cases[] = {{TodayDate(), false}, {TodayDate() - 1, true}, {TodayDate() + 0.5, true}};
    for (const auto& [date, newDay] : cases) {
        reg.WriteDate("OrderDate", date);
        LoadSettings();
        EXPECT_EQ(NewDay, newDay) << date;
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    const ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    // 109205 days lie between 1 January 1601 and 30 December 1899.
    EXPECT_EQ(TodayDate(), static_cast<double>(ticks.QuadPart / 864000000000ull) - 109205);
}

// "Delay" 300 is stored: with the agent and "Restore Wait time" it wins over the system's timeout
// and is put back; otherwise the system's is adopted, unless that is 86640, which Windows sets itself.
TEST_F(Settings, WaitTimeSynchronisation) {
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
        LoadSettings();
        EXPECT_EQ(Delay, c.expected) << c.agent << c.restoreDelay << " " << c.system;
        EXPECT_EQ(SystemScreenSaveTimeout(), c.expected);
        EXPECT_EQ(RestoreSaver, c.agent);  // the agent acts on it; without one it is off
    }
}

TEST_F(Settings, TurningTheAgentOnRegistersStartsAndNotifiesIt) {
    CopyFileA((BinFolder() + "\\urllog.exe").c_str(), (install / "vtagent.exe").c_str(), FALSE);
    LoadSettings();
    AgentEnabled = true;
    SaveSettings();
    EXPECT_EQ(Value(kRunKey, "Vantora"), "\"" + install.path() + "\\vtagent.exe\"");
    EXPECT_EQ(urls.WaitForLines(1).size(), 1u);  // no agent window: the agent was started
    EXPECT_TRUE(FileExists(SaverListFile));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = AgentProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kAgentWindowClass;
    RegisterClassA(&wc);
    const HWND agent = CreateWindowA(kAgentWindowClass, kAgentWindowTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr,
                                     nullptr, wc.hInstance, nullptr);
    agentHeard = 0;
    SaveSettings();
    PumpMessages();
    EXPECT_EQ(agentHeard, 1);
    Sleep(500);
    EXPECT_EQ(urls.Lines().size(), 1u);  // its window exists: not started again

    LoadSettings();
    ASSERT_TRUE(AgentEnabledAtLoad);
    AgentEnabled = false;
    SaveSettings();
    PumpMessages();
    EXPECT_EQ(Value(kRunKey, "Vantora"), "(none)");
    EXPECT_EQ(agentHeard, 2);  // a running agent still hears about it
    DestroyWindow(agent);
}

TEST_F(Settings, UnchangedPasswordProtectionIsNotWritten) {
    SetValue(kDesktopKey, "ScreenSaverIsSecure", "2");
    LoadSettings();
    EXPECT_FALSE(PasswordProtected);
    SaveSettings();
    EXPECT_EQ(Value(kDesktopKey, "ScreenSaverIsSecure"), "2");
    for (const bool on : {true, false}) {
        PasswordProtected = on;
        SaveSettings();
        EXPECT_EQ(Value(kDesktopKey, "ScreenSaverIsSecure"), on ? "1" : "0");
        LoadSettings();
        EXPECT_EQ(PasswordProtected, on);
    }
}

TEST_F(Settings, SavingMakesTheListFileFolderButFailsAfterTheRegistryStepsBelowAMissingOne) {
    LoadSettings();
    SaverListFile = install / "fresh\\saverlist.dat";
    SaveSettings();
    EXPECT_TRUE(FileExists(SaverListFile));
    SaverListFile = install / "two\\levels\\saverlist.dat";
    ChangeTime = 45;
    EXPECT_THROW(SaveSettings(), EFCreateError);
    EXPECT_EQ(ReadSettingString("ChangeTime"), "45");
}

TEST(SettingsChild, DISABLED_Load) { ChildReport(Loaded() + "; install " + InstallPath + ", list " + SaverListFile); }

TEST_F(Settings, MissingInstallKeyStopsLoadingAfterTheMessage) {
    SetInstallPath("");
    SetValue(kRunKey, "Vantora", kElsewhereAgent);
    SetValue(kDesktopKey, "ScreenSaverIsSecure", "1");
    WriteSettingString("Delay", "300");
    WriteSettingString("ChangeTime", "12");
    MessageBoxSeen box;
    const std::vector<std::string> report =
        RunChildTest("SettingsChild.DISABLED_Load", [&] { box = AnswerMessageBox(); });
    EXPECT_EQ(box.text, "Corrupted registry.\r\nPlease, Reinstall Vantora");
    EXPECT_EQ(report,
              std::vector<std::string>{
                  "order 1, change 12, delay 300, every, new day, restore saver, restore delay; install , list "});
    EXPECT_EQ(SystemScreenSaveTimeout(), 420);    // not synchronised
    EXPECT_EQ(ReadSettingString("pathind"), "");  // the data folder was never asked for
}

}  // namespace
