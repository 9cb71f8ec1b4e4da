// One value at a time from the program's settings key, HKCU\Software\Kestrella\Vantora. Each
// call opens the key (creating it when missing) and closes it again.
#pragma once

#include <cstdint>
#include <string>

extern const char kSettingsKey[];

std::string ReadSettingString(const std::string& name);  // "" when missing
void WriteSettingString(const std::string& name, const std::string& value);
void DeleteSetting(const std::string& name);  // a missing value is no error
// `fallback` when the value is missing or not a decimal integer; no clamping.
int32_t ReadSettingInt(const std::string& name, int32_t fallback);
void WriteSettingInt(const std::string& name, int32_t value);
