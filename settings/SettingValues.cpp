#include "settings/SettingValues.h"

#include "app/Text.h"

int32_t ClampSetting(int32_t value) { return value < 0 ? 0 : value > kSettingMax ? kSettingMax : value; }

int32_t SettingFromText(std::string_view text, int32_t fallback) {
    return ClampSetting(text.empty() ? fallback : ParseIntOr(text, fallback));
}

OrderSettings DecodeOrder(int32_t value) {
    OrderSettings order;
    order.changeOnceADay = (value & 8) != 0;
    order.changeEvery = (value & 16) != 0;
    // Values are clamped to be non-negative before they get here, so % gives the low bits.
    order.orderMode = value % 8;
    if (order.orderMode == 3) order.orderMode = 1;
    return order;
}

int32_t EncodeOrder(int32_t orderMode, bool changeOnceADay, bool changeEvery) {
    return orderMode + (changeOnceADay ? 8 : 0) + (changeEvery ? 16 : 0);
}

bool TimeoutNeedsRestore(int32_t systemTimeout, bool restoreDelay, int32_t delay) {
    return systemTimeout == kForeignScreenSaveTimeout || (restoreDelay && systemTimeout != delay);
}

std::string AgentFilePath(const std::string& installPath) { return installPath + "\\vtagent.exe"; }

std::string AgentCommand(const std::string& installPath) { return "\"" + AgentFilePath(installPath) + "\""; }
