#include "settings/SettingsKey_win.h"

#include "settings/Registry_win.h"

namespace {
TRegistry OpenSettings() {
    TRegistry reg;
    reg.OpenKey(kSettingsKey, true);
    return reg;
}
}  // namespace

std::string ReadSettingString(const std::string& name) { return OpenSettings().ReadString(name); }

bool WriteSettingString(const std::string& name, const std::string& value) {
    return OpenSettings().WriteString(name, value);
}

void DeleteSetting(const std::string& name) { OpenSettings().DeleteValue(name); }

bool WriteSettingInt(const std::string& name, int32_t value) { return WriteSettingString(name, std::to_string(value)); }
