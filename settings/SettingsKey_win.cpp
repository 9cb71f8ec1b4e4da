#include "settings/SettingsKey_win.h"

#include "app/Text.h"
#include "settings/Registry_win.h"

const char kSettingsKey[] = "\\Software\\Kestrella\\Vantora";

namespace {
TRegistry OpenSettings() {
    TRegistry reg;
    reg.OpenKey(kSettingsKey, true);
    return reg;
}
}  // namespace

std::string ReadSettingString(const std::string& name) { return OpenSettings().ReadString(name); }

void WriteSettingString(const std::string& name, const std::string& value) { OpenSettings().WriteString(name, value); }

void DeleteSetting(const std::string& name) { OpenSettings().DeleteValue(name); }

int32_t ReadSettingInt(const std::string& name, int32_t fallback) { return ParseIntOr(ReadSettingString(name), fallback); }

void WriteSettingInt(const std::string& name, int32_t value) { WriteSettingString(name, std::to_string(value)); }
