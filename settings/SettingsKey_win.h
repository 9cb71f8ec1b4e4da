// One value at a time from the program's settings key, HKCU\Software\Kestrella\Vantora. Each
// call opens the key (creating it when missing) and closes it again.
#pragma once

#include <cstdint>
#include <string>

#include "settings/AgentContract.h"

// The settings key under HKEY_CURRENT_USER; the installer keeps "Path" under the same path of
// HKEY_LOCAL_MACHINE, the install key. Opened from the root by a fresh TRegistry.
inline constexpr const char* kSettingsKey = kVantoraKey;
inline constexpr const char* kInstallKey = kVantoraKey;

std::string ReadSettingString(const std::string& name);                      // "" when missing
bool WriteSettingString(const std::string& name, const std::string& value);  // false when not written
void DeleteSetting(const std::string& name);                                 // a missing value is no error
bool WriteSettingInt(const std::string& name, int32_t value);
