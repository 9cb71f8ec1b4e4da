#include "settings/Settings_win.h"

#include <windows.h>

#include "app/Text.h"
#include "catalogue/Discovery_win.h"
#include "settings/DataFolder_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SettingsRules.h"
#include "settings/SystemHelpers_win.h"
#include "settings/SystemIntegration_win.h"

int32_t OrderMode = 0;
bool ChangeOnceADay = false;
bool ChangeEvery = false;
int32_t ChangeTime = 0;
bool NewDay = false;
int32_t Delay = 0;
bool RestoreSaver = false;
bool RestoreDelay = false;
bool AgentEnabled = false;
bool AgentEnabledAtLoad = false;
bool PasswordProtected = false;
bool PasswordProtectedAtLoad = false;
std::string InstallPath;
std::string SaverListFile;

namespace {
const char kInstallKey[] = "\\Software\\Kestrella\\Vantora";

std::string ReadInstallPath() {
    TRegistry reg(KEY_READ, HKEY_LOCAL_MACHINE);
    return reg.OpenKey(kInstallKey, false) ? reg.ReadString("Path") : std::string();
}

void LoadOwnSettings(const TRegistry& reg) {
    const OrderSettings order = DecodeOrder(ReadIntSetting("Order", kDefaultOrder));
    OrderMode = order.orderMode;
    ChangeOnceADay = order.changeOnceADay;
    ChangeEvery = order.changeEvery;
    const std::optional<double> orderDate = reg.ReadDate("OrderDate");
    NewDay = !orderDate || *orderDate != TodayDate();
    ChangeTime = ReadIntSetting("ChangeTime", 30);
    Delay = ReadIntSetting("Delay", SystemScreenSaveTimeout());
    RestoreSaver = ReadIntSetting("RestoreSaver", 1) != 0;
    RestoreDelay = ReadIntSetting("RestoreDelay", 1) != 0;
}
}  // namespace

int32_t ReadIntSetting(const std::string& name, int32_t fallback) {
    return SettingFromText(ReadSettingString(name), fallback);
}

double TodayDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CivilDate(now.wYear, now.wMonth, now.wDay);
}

void LoadSettings() {
    {
        TRegistry reg;
        if (reg.OpenKey(kSettingsKey, true)) LoadOwnSettings(reg);
    }

    InstallPath = ReadInstallPath();
    if (InstallPath.empty()) {
        ShowMessage("Corrupted registry.\r\nPlease, Reinstall Vantora");
        return;
    }

    AgentEnabled = ReadAgentEnabled();
    AgentEnabledAtLoad = AgentEnabled;
    // Both options are carried out by the agent, so they are off while it does not start with Windows.
    RestoreDelay = RestoreDelay && AgentEnabled;
    RestoreSaver = RestoreSaver && AgentEnabled;
    PasswordProtected = ReadPasswordProtected();
    PasswordProtectedAtLoad = PasswordProtected;
    SynchroniseDelay();
    SaverListFile = SaverListPath(GetDataFolder(), InstallPath);
}

void SaveSettings() {
    {
        TRegistry reg;
        reg.OpenKey(kSettingsKey, true);
        reg.WriteString("Order", std::to_string(EncodeOrder(OrderMode, ChangeOnceADay, ChangeEvery)));
        reg.WriteString("ChangeTime", std::to_string(ChangeTime));
        reg.WriteString("Delay", std::to_string(Delay));
        reg.WriteString("RestoreSaver", RestoreSaver ? "1" : "0");
        reg.WriteString("RestoreDelay", RestoreDelay ? "1" : "0");
        if (AgentEnabled != AgentEnabledAtLoad) WriteAgentEntry();
        if (AgentEnabled) StartAgentUnlessRunning();
        SetSystemScreenSaveTimeout(Delay);
        if (PasswordProtected != PasswordProtectedAtLoad) WritePasswordProtected(PasswordProtected);
    }
    if (!FileExists(SaverListFile)) EnsureFolder(std::string(ParentFolderOf(SaverListFile)));
    AllSavers.SaveToFile(SaverListFile);
    NotifyAgent();
}
