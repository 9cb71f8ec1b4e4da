#include "settings/SystemIntegration_win.h"

#include <windows.h>

#include "settings/Registry_win.h"
#include "settings/SettingValues.h"
#include "settings/SystemHelpers_win.h"

namespace {
const char kRunKey[] = "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const char kRunValue[] = "Vantora";
const char kDesktopKey[] = "\\Control Panel\\Desktop";
const char kSecureValue[] = "ScreenSaverIsSecure";

HWND AgentWindow() { return FindWindowA(kAgentWindowClass, kAgentWindowTitle); }
}  // namespace

int32_t SystemScreenSaveTimeout() {
    UINT seconds = 0;
    if (!SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0)) return 0;
    return static_cast<int32_t>(seconds);
}

bool SetSystemScreenSaveTimeout(int32_t seconds) {
    return SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(seconds), nullptr, SPIF_UPDATEINIFILE);
}

int32_t SynchroniseDelay(bool restoreDelay, int32_t delay) {
    const int32_t timeout = SystemScreenSaveTimeout();
    if (!TimeoutNeedsRestore(timeout, restoreDelay, delay)) return timeout;
    SetSystemScreenSaveTimeout(delay);
    return delay;
}

bool ReadAgentEnabled() {
    TRegistry reg(KEY_READ);
    return reg.OpenKey(kRunKey, false) && !reg.ReadString(kRunValue).empty();
}

bool AgentInstalled(const std::string& installPath) {
    return !installPath.empty() && FileExists(AgentFilePath(installPath));
}

bool WriteAgentEntry(bool enabled, const std::string& installPath) {
    // An entry for a missing agent would start nothing, and nothing would ever remove it.
    if (enabled && !AgentInstalled(installPath)) return false;
    TRegistry reg;
    if (!reg.OpenKey(kRunKey, true)) return false;
    return enabled ? reg.WriteString(kRunValue, AgentCommand(installPath)) : reg.DeleteValue(kRunValue);
}

void StartAgentUnlessRunning(const std::string& installPath) {
    if (AgentWindow() || !AgentInstalled(installPath)) return;
    const std::string folder = "\"" + installPath + "\"";
    ShellOpen(nullptr, AgentCommand(installPath), "", folder.c_str(), SW_HIDE);
}

void NotifyAgent() {
    if (HWND agent = AgentWindow()) PostMessageA(agent, kAgentSettingsChanged, 0, 0);
}

bool ReadPasswordProtected() {
    TRegistry reg(KEY_READ);
    return reg.OpenKey(kDesktopKey, false) && reg.ReadString(kSecureValue) == "1";
}

bool WritePasswordProtected(bool on) {
    TRegistry reg;
    return reg.OpenKey(kDesktopKey, true) && reg.WriteString(kSecureValue, on ? "1" : "0");
}
