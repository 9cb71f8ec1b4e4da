#include "settingswnd/SettingsModel.h"

#include <gtest/gtest.h>

#include "settings/SettingValues.h"

namespace {

TEST(SettingsModel, WaitTimeShowsWithinTheFieldsAndSavesAtLeastOneSecond) {
    const struct {
        int32_t delay, minutes, seconds, saved;
    } cases[] = {{-5, 0, 0, 1}, {61, 1, 1, 61}, {66666 * 60, 9999, 59, 599999}};  // not 66666 cut to 16 bits
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        const WaitTime wait = WaitTimeOf(c.delay);
        EXPECT_EQ(wait.minutes, c.minutes);
        EXPECT_EQ(wait.seconds, c.seconds);
        EXPECT_EQ(DelayOf(wait.minutes, wait.seconds), c.saved);
    }
}

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

// The agent's options show as stored, greyed without the agent, and count only with it.
TEST(SettingsModel, AgentOptionsFollowTheAgent) {
    const struct {
        bool agent, restoreSaver, restoreDelay;
        int clicks;  // on "Enable Vantora agent"
        bool shownSaver, shownDelay, enabled, savedSaver, savedDelay;
    } cases[] = {{false, true, true, 0, true, true, false, false, false},
                 {true, false, true, 0, false, true, true, false, true},
                 {true, true, true, 1, false, false, false, false, false},
                 {true, false, true, 2, true, true, true, true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.agent << c.restoreSaver << c.restoreDelay << c.clicks);
        Settings stored;
        stored.AgentEnabled = c.agent;
        stored.RestoreSaver = c.restoreSaver;
        stored.RestoreDelay = c.restoreDelay;
        ControlValues values = ControlsFromSettings(stored);
        for (int i = 0; i < c.clicks; ++i) {
            values.agentEnabled = !values.agentEnabled;
            OnAgentClicked(values);
        }
        EXPECT_EQ(values.restoreSaver, c.shownSaver);
        EXPECT_EQ(values.restoreDelay, c.shownDelay);
        EXPECT_EQ(AgentOptionsEnabled(values), c.enabled);
        const Settings saved = SettingsFromControls(values, stored);
        EXPECT_EQ(saved.AgentEnabled, values.agentEnabled);
        EXPECT_EQ(saved.RestoreSaver, c.savedSaver);
        EXPECT_EQ(saved.RestoreDelay, c.savedDelay);
        values.agentInstalled = false;  // no vtagent.exe: nothing of the agent can be changed
        EXPECT_FALSE(AgentBoxEnabled(values) || AgentOptionsEnabled(values));
    }
}

}  // namespace
