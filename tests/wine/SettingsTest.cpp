// Loading and saving the settings against the registry, the system's screensaver settings and a
// stand-in tray agent.
#include <gtest/gtest.h>

#include "app/Exception.h"
#include "catalogue/Discovery_win.h"
#include "settings/DataFolder_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"
#include "settings/SystemIntegration_win.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

const char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kDesktopKey[] = "Control Panel\\Desktop";

std::string ReadValue(const char* key, const char* name) {
    TRegistry reg(KEY_READ);
    return reg.OpenKey(std::string("\\") + key, false) ? reg.ReadString(name) : std::string("(no key)");
}

void WriteValue(const char* key, const char* name, const std::string& value) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(std::string("\\") + key, true));
    reg.WriteString(name, value);
}

void DeleteValue(const char* key, const char* name) {
    TRegistry reg;
    if (reg.OpenKey(std::string("\\") + key, false)) reg.DeleteValue(name);
}

bool RunEntryExists() {
    TRegistry reg(KEY_READ);
    return reg.OpenKey(std::string("\\") + kRunKey, false) && reg.ValueExists("Vantora");
}

// A stand-in for the tray agent's message window that counts the settings-changed messages.
class AgentWindow {
public:
    AgentWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kAgentWindowClass;
        RegisterClassA(&wc);
        window_ = CreateWindowA(kAgentWindowClass, kAgentWindowTitle, WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
        received_ = 0;
    }
    ~AgentWindow() { DestroyWindow(window_); }
    int Received() {
        PumpMessages();
        return received_;
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == kAgentSettingsChanged && wParam == 0 && lParam == 0) ++received_;
        return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    static int received_;
    HWND window_;
};
int AgentWindow::received_ = 0;

class Settings : public ::testing::Test {
protected:
    void SetUp() override {
        SetInstallPath(install.path());
        DeleteRegistryTree("Software\\Kestrella\\Vantora");
        DeleteValue(kRunKey, "Vantora");
        DeleteValue(kDesktopKey, "ScreenSaverIsSecure");
        SetSystemScreenSaveTimeout(420);
        AllSavers.Clear();
    }
    void TearDown() override {
        SetInstallPath("");
        DeleteValue(kRunKey, "Vantora");
        DeleteValue(kDesktopKey, "ScreenSaverIsSecure");
        SetSystemScreenSaveTimeout(300);
    }
    static void AgentStartsWithWindows() { WriteValue(kRunKey, "Vantora", "\"C:\\elsewhere\\vtagent.exe\""); }

    TestFolder install;
    UrlLog urls;  // an agent started by the shell logs here too
};

TEST_F(Settings, EmptyKeyLoadsTheDefaults) {
    LoadSettings();
    EXPECT_EQ(OrderMode, 1);
    EXPECT_TRUE(ChangeEvery);
    EXPECT_FALSE(ChangeOnceADay);
    EXPECT_EQ(ChangeTime, 30);
    EXPECT_EQ(Delay, 420);
    EXPECT_TRUE(NewDay);
    EXPECT_FALSE(AgentEnabled);
    EXPECT_FALSE(RestoreSaver);
    EXPECT_FALSE(RestoreDelay);
    EXPECT_FALSE(PasswordProtected);
    EXPECT_EQ(InstallPath, install.path());
    EXPECT_EQ(SaverListFile, GetDataFolder() + "\\saverlist.dat");
    EXPECT_EQ(GetDataFolder(), AppDataFolder() + "\\Vantora");

    AgentStartsWithWindows();
    LoadSettings();
    EXPECT_TRUE(AgentEnabled);
    EXPECT_TRUE(AgentEnabledAtLoad);
    EXPECT_TRUE(RestoreSaver);
    EXPECT_TRUE(RestoreDelay);
    EXPECT_EQ(SystemScreenSaveTimeout(), 420);
}

TEST_F(Settings, StoredValuesAreDecodedClampedAndSavedBack) {
    WriteSettingString("Order", "11");
    WriteSettingString("ChangeTime", "-5");
    LoadSettings();
    EXPECT_EQ(OrderMode, 1);
    EXPECT_TRUE(ChangeOnceADay);
    EXPECT_FALSE(ChangeEvery);
    EXPECT_EQ(ChangeTime, 0);
    SaveSettings();
    EXPECT_EQ(ReadSettingString("Order"), "9");
    EXPECT_EQ(ReadSettingString("ChangeTime"), "0");
    EXPECT_EQ(ReadSettingString("Delay"), "420");
    EXPECT_EQ(ReadSettingString("RestoreSaver"), "0");
    EXPECT_EQ(ReadSettingString("RestoreDelay"), "0");

    WriteSettingString("Order", "abc");
    LoadSettings();
    EXPECT_EQ(OrderMode, 1);
    EXPECT_TRUE(ChangeEvery);
    EXPECT_FALSE(ChangeOnceADay);

    OrderMode = 2;
    ChangeOnceADay = true;
    ChangeEvery = true;
    SaveSettings();
    EXPECT_EQ(ReadSettingString("Order"), "26");

    WriteSettingString("Delay", "2000000000");
    EXPECT_EQ(ReadIntSetting("Delay", 5), 1000000000);
    WriteSettingString("Delay", " 77 ");
    EXPECT_EQ(ReadIntSetting("Delay", 5), 77);
    EXPECT_EQ(ReadIntSetting("NoSuchValue", -3), 0);
}

TEST_F(Settings, OnlyTodaysOrderDateIsNotANewDay) {
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kSettingsKey, true));
    reg.WriteDate("OrderDate", TodayDate());
    LoadSettings();
    EXPECT_FALSE(NewDay);
    reg.WriteDate("OrderDate", TodayDate() - 1);
    LoadSettings();
    EXPECT_TRUE(NewDay);
    reg.WriteDate("OrderDate", TodayDate() + 0.5);  // today with a time of day is not today's date
    LoadSettings();
    EXPECT_TRUE(NewDay);
    reg.WriteString("OrderDate", "45000");
    LoadSettings();
    EXPECT_TRUE(NewDay);
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME file;
    SystemTimeToFileTime(&now, &file);
    ULARGE_INTEGER ticks{{file.dwLowDateTime, file.dwHighDateTime}};
    // 109205 days lie between 1 January 1601 and 30 December 1899.
    EXPECT_EQ(TodayDate(), static_cast<double>(ticks.QuadPart / 864000000000ull) - 109205);
}

TEST_F(Settings, StoredWaitTimeWinsOnlyWithRestoreWaitTime) {
    AgentStartsWithWindows();
    WriteSettingString("Delay", "300");
    WriteSettingString("RestoreDelay", "1");
    SetSystemScreenSaveTimeout(600);
    LoadSettings();
    EXPECT_EQ(Delay, 300);
    EXPECT_EQ(SystemScreenSaveTimeout(), 300);

    WriteSettingString("RestoreDelay", "0");
    SetSystemScreenSaveTimeout(600);
    LoadSettings();
    EXPECT_EQ(Delay, 600);
    EXPECT_EQ(SystemScreenSaveTimeout(), 600);
    SaveSettings();
    EXPECT_EQ(ReadSettingString("Delay"), "600");

    WriteSettingString("Delay", "300");
    SetSystemScreenSaveTimeout(86640);  // set by Windows itself, never the user's choice
    LoadSettings();
    EXPECT_EQ(Delay, 300);
    EXPECT_EQ(SystemScreenSaveTimeout(), 300);
}

TEST_F(Settings, RestoreOptionsNeedTheAgent) {
    WriteSettingString("Delay", "300");
    WriteSettingString("RestoreDelay", "1");
    WriteSettingString("RestoreSaver", "1");
    SetSystemScreenSaveTimeout(600);
    LoadSettings();
    EXPECT_FALSE(RestoreDelay);
    EXPECT_FALSE(RestoreSaver);
    EXPECT_EQ(Delay, 600);
    EXPECT_EQ(SystemScreenSaveTimeout(), 600);
}

TEST_F(Settings, TurningTheAgentOnRegistersStartsAndNotifiesIt) {
    CopyFileA((BinFolder() + "\\urllog.exe").c_str(), (install / "vtagent.exe").c_str(), FALSE);
    LoadSettings();
    ASSERT_FALSE(AgentEnabledAtLoad);
    AgentEnabled = true;
    SaveSettings();
    EXPECT_EQ(ReadValue(kRunKey, "Vantora"), "\"" + install.path() + "\\vtagent.exe\"");
    const std::vector<std::string> started = urls.WaitForLines(1);
    ASSERT_EQ(started.size(), 1u);  // no agent window: the agent was started
    EXPECT_TRUE(FileExists(SaverListFile));

    AgentWindow agent;
    SaveSettings();
    EXPECT_EQ(agent.Received(), 1);
    Sleep(500);
    EXPECT_EQ(urls.Lines().size(), 1u);  // its window exists: not started again

    LoadSettings();
    ASSERT_TRUE(AgentEnabledAtLoad);
    AgentEnabled = false;
    SaveSettings();
    EXPECT_FALSE(RunEntryExists());
    EXPECT_EQ(agent.Received(), 2);  // a running agent still hears about it
}

TEST_F(Settings, UnchangedPasswordProtectionIsNotWritten) {
    WriteValue(kDesktopKey, "ScreenSaverIsSecure", "2");
    LoadSettings();
    EXPECT_FALSE(PasswordProtected);
    SaveSettings();
    EXPECT_EQ(ReadValue(kDesktopKey, "ScreenSaverIsSecure"), "2");
    PasswordProtected = true;
    SaveSettings();
    EXPECT_EQ(ReadValue(kDesktopKey, "ScreenSaverIsSecure"), "1");
    LoadSettings();
    EXPECT_TRUE(PasswordProtected);
    PasswordProtected = false;
    SaveSettings();
    EXPECT_EQ(ReadValue(kDesktopKey, "ScreenSaverIsSecure"), "0");
}

TEST_F(Settings, SavingWritesTheListFileIntoAFreshFolder) {
    LoadSettings();
    AllSavers.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    SaverListFile = install / "fresh\\saverlist.dat";
    SaveSettings();
    TSaverList back;
    back.LoadFromFile(SaverListFile);
    ASSERT_EQ(back.Count(), 1);
    EXPECT_EQ(back.GetItem(0).FilePath, "C:\\W\\b.scr");

    SaverListFile = install / "two\\levels\\saverlist.dat";
    ChangeTime = 45;
    EXPECT_THROW(SaveSettings(), EFCreateError);
    EXPECT_EQ(ReadSettingString("ChangeTime"), "45");  // the registry steps came first
}

TEST(SettingsChild, DISABLED_Load) {
    LoadSettings();
    ChildReport("InstallPath=" + InstallPath);
    ChildReport("SaverListFile=" + SaverListFile);
    ChildReport("AgentEnabled=" + std::to_string(AgentEnabled));
    ChildReport("PasswordProtected=" + std::to_string(PasswordProtected));
    ChildReport("Delay=" + std::to_string(Delay));
    ChildReport("ChangeTime=" + std::to_string(ChangeTime));
}

TEST_F(Settings, MissingInstallKeyStopsLoadingAfterTheMessage) {
    SetInstallPath("");
    AgentStartsWithWindows();
    WriteValue(kDesktopKey, "ScreenSaverIsSecure", "1");
    WriteSettingString("Delay", "300");
    WriteSettingString("ChangeTime", "12");
    MessageBoxSeen box;
    const std::vector<std::string> report =
        RunChildTest("SettingsChild.DISABLED_Load", [&] { box = AnswerMessageBox(); });
    EXPECT_TRUE(box.found);
    EXPECT_EQ(box.text, "Corrupted registry.\r\nPlease, Reinstall Vantora");
    const std::vector<std::string> expected = {"InstallPath=",        "SaverListFile=", "AgentEnabled=0",
                                               "PasswordProtected=0", "Delay=300",      "ChangeTime=12"};
    EXPECT_EQ(report, expected);
    EXPECT_EQ(SystemScreenSaveTimeout(), 420);    // not synchronised
    EXPECT_EQ(ReadSettingString("pathind"), "");  // the data folder was never asked for
}

}  // namespace
