#include "settingswnd/SettingsModel.h"

#include <gtest/gtest.h>

#include "settings/SettingValues.h"

namespace {

TEST(SettingsModel, TypedTextIsClampedOrRefused) {
    const struct {
        const char* text;
        NumberRange range;
        int32_t current, expected;
    } cases[] = {
        {"abc", kWaitMinutesRange, 5, 5},   {"75", kWaitSecondsRange, 7, 59},
        {"-5", kWaitSecondsRange, 7, 0},    {"99999999999999999999", kChangeMinutesRange, 30, 10000},
        {"0", kChangeMinutesRange, 12, 30},  // no interval is the usual half hour
        {"x", kChangeMinutesRange, 0, 30},   // a previous value out of range follows the rule too
    };
    for (const auto& c : cases)
        EXPECT_EQ(FieldFromText(c.text, c.range, c.current), c.expected) << c.text;
}

// Stored "Order" and "ChangeTime" -> what the order controls show -> what OK saves.
TEST(SettingsModel, OrderAndChangeModeAsShownAndSaved) {
    const struct {
        int32_t order, changeTime;
        int row;
        bool onceADay, every;
        int32_t minutes, savedOrder, savedChangeTime;
    } cases[] = {{17, 30, 0, false, true, 30, 17, 30},
                 {9, 45, 0, true, false, 45, 9, 45},
                 {26, 0, 2, false, true, 30, 18, 30},  // both stored: "Change every" wins; no interval is 30
                 {12, 20000, 1, true, false, 10000, 12, 10000},
                 {7, 30, 0, false, false, 30, 1, 30},  // a mode the window does not offer is Sequential
                 {2, 1, 2, false, false, 1, 2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.order);
        Settings stored;
        const OrderSettings order = DecodeOrder(c.order);
        stored.OrderMode = order.orderMode;
        stored.ChangeOnceADay = order.changeOnceADay;
        stored.ChangeEvery = order.changeEvery;
        stored.ChangeTime = c.changeTime;
        const ControlValues shown = ControlsFromSettings(stored);
        EXPECT_EQ(shown.orderRow, c.row);
        EXPECT_EQ(shown.changeOnceADay, c.onceADay);
        EXPECT_EQ(shown.changeEvery, c.every);
        EXPECT_EQ(ChangeMinutesEnabled(shown), c.every);
        EXPECT_EQ(shown.changeMinutes, c.minutes);
        const Settings saved = SettingsFromControls(shown, stored);
        EXPECT_EQ(EncodeOrder(saved.OrderMode, saved.ChangeOnceADay, saved.ChangeEvery), c.savedOrder);
        EXPECT_EQ(saved.ChangeTime, c.savedChangeTime);
    }
}

}  // namespace
