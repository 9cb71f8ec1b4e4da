#include "settings/Settings_win.h"

#include <windows.h>

#include "settings/CivilDate.h"
#include "settings/DataFolderRules.h"
#include "settings/DataFolder_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingValues.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "settings/SystemIntegration_win.h"

namespace {

// The read rule of the values loaded here: missing or not an integer gives `fallback`, and the
// result is clamped to 0..1000000000.
int32_t ReadClampedSetting(const TRegistry& reg, const char* name, int32_t fallback) {
    return SettingFromText(reg.ReadString(name), fallback);
}

}  // namespace

std::string ReadInstallPath() {
    TRegistry reg(KEY_READ, HKEY_LOCAL_MACHINE);
    return reg.OpenKey(kInstallKey, false) ? reg.ReadPath("Path") : std::string();
}

double TodayDate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return CivilDate(now.wYear, now.wMonth, now.wDay);
}

void Settings::Load(StartNotices notices) {
    {
        TRegistry reg;
        if (reg.OpenKey(kSettingsKey, true)) {
            const OrderSettings order = DecodeOrder(ReadClampedSetting(reg, "Order", kDefaultOrder));
            OrderMode = order.orderMode;
            ChangeOnceADay = order.changeOnceADay;
            ChangeEvery = order.changeEvery;
            const std::optional<double> orderDate = reg.ReadDate("OrderDate");
            NewDay = !orderDate || *orderDate != TodayDate();
            ChangeTime = ReadClampedSetting(reg, "ChangeTime", 30);
            Delay = ReadClampedSetting(reg, kDelayValue, SystemScreenSaveTimeout());
            RestoreSaver = ReadClampedSetting(reg, kRestoreSaverValue, 1) != 0;
            RestoreDelay = ReadClampedSetting(reg, kRestoreDelayValue, 1) != 0;
            BlackBetween = ReadClampedSetting(reg, "Curtain", 1) != 0;
            SkipFailed = ReadClampedSetting(reg, "SkipFailed", 1) != 0;
        }
    }

    InstallPath = ReadInstallPath();
    if (InstallPath.empty()) {
        if (notices == StartNotices::Show) ShowMessage("Corrupted registry.\r\nPlease, Reinstall Vantora");
    } else {
        AgentEnabled = ReadAgentEnabled();
        AgentEnabledAtLoad = AgentEnabled;
        // Both options are carried out by the agent, so they are off while it does not start with Windows.
        RestoreDelay = RestoreDelay && AgentEnabled;
        RestoreSaver = RestoreSaver && AgentEnabled;
        PasswordProtected = ReadPasswordProtected();
        PasswordProtectedAtLoad = PasswordProtected;
        Delay = SynchroniseDelay(RestoreDelay, Delay);
    }
    // Without the install folder the other candidates still hold the ticks and take later saves.
    SaverListFile = SaverListPath(GetDataFolder(InstallPath, notices), InstallPath);
}

SaveResult Settings::Save() const {
    TRegistry reg;
    bool written = reg.OpenKey(kSettingsKey, true);
    const std::pair<const char*, std::string> values[] = {
        {"Order", std::to_string(EncodeOrder(OrderMode, ChangeOnceADay, ChangeEvery))},
        {"ChangeTime", std::to_string(ChangeTime)},
        {kDelayValue, std::to_string(Delay)},
        {kRestoreSaverValue, RestoreSaver ? "1" : "0"},
        {kRestoreDelayValue, RestoreDelay ? "1" : "0"},
        {"Curtain", BlackBetween ? "1" : "0"},
        {"SkipFailed", SkipFailed ? "1" : "0"},
    };
    for (const auto& [name, text] : values)
        written = reg.WriteString(name, text) && written;
    if (AgentEnabled != AgentEnabledAtLoad) written = WriteAgentEntry(AgentEnabled, InstallPath) && written;
    if (AgentEnabled) StartAgentUnlessRunning(InstallPath);
    written = SetSystemScreenSaveTimeout(Delay) && written;
    if (PasswordProtected != PasswordProtectedAtLoad) written = WritePasswordProtected(PasswordProtected) && written;
    return written ? SaveResult::Saved : SaveResult::RegistryNotWritten;
}
