// How stored text becomes a setting, how the "Order" word packs the display order and the change
// schedule, and the values the settings hand to the system. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

constexpr int32_t kSettingMax = 1000000000;

// Every integer setting is kept within 0..1000000000.
int32_t ClampSetting(int32_t value);
// The stored text of an integer setting: empty or not a decimal integer gives `fallback`; the
// result, fallback included, is clamped.
int32_t SettingFromText(std::string_view text, int32_t fallback);

// "Order": the order mode in the low three bits (3 reads as Sequential), 8 for once a day, 16
// for every ChangeTime minutes.
struct OrderSettings {
    int32_t orderMode = 1;
    bool changeOnceADay = false;
    bool changeEvery = true;
};
constexpr int32_t kDefaultOrder = 17;
OrderSettings DecodeOrder(int32_t value);
int32_t EncodeOrder(int32_t orderMode, bool changeOnceADay, bool changeEvery);

// Windows sets this timeout (24 h 4 min) itself; it is never the user's choice.
constexpr int32_t kForeignScreenSaveTimeout = 86640;
// Whether loading must put the stored Delay back into the system timeout.
bool TimeoutNeedsRestore(int32_t systemTimeout, bool restoreDelay, int32_t delay);

// vtagent.exe in the install folder, and the agent's start entry: that path quoted.
std::string AgentFilePath(const std::string& installPath);
std::string AgentCommand(const std::string& installPath);
