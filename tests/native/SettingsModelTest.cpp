#include "settingswnd/SettingsModel.h"

#include <gtest/gtest.h>

#include <tuple>

#include "settings/SettingValues.h"

namespace {

auto Fields(const Settings& s) {
    return std::make_tuple(s.OrderMode, s.ChangeOnceADay, s.ChangeEvery, s.ChangeTime, s.Delay, s.RestoreSaver,
                           s.RestoreDelay, s.AgentEnabled, s.PasswordProtected);
}

TEST(SettingsModel, WaitTimeShowsWithinTheFieldsAndSavesAtLeastOneSecond) {
    const struct {
        int32_t delay, minutes, seconds, saved;
    } cases[] = {
        {300, 5, 0, 300},  // Wine's default timeout
        {0, 0, 0, 1},
        {-5, 0, 0, 1},
        {59, 0, 59, 59},
        {61, 1, 1, 61},
        {66666 * 60, 9999, 59, 599999},  // not 1130 minutes: 66666 cut to 16 bits
        {kSettingMax, 9999, 59, 599999},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.delay);
        const WaitTime wait = WaitTimeOf(c.delay);
        EXPECT_EQ(wait.minutes, c.minutes);
        EXPECT_EQ(wait.seconds, c.seconds);
        EXPECT_EQ(DelayOf(wait.minutes, wait.seconds), c.saved);
    }
    EXPECT_EQ(DelayOf(20000, 75), 599999);
    EXPECT_EQ(DelayOf(-3, -3), 1);
}

TEST(SettingsModel, TypedTextIsClampedOrRefused) {
    const struct {
        const char* text;
        NumberRange range;
        int32_t current, expected;
    } cases[] = {
        {"12", kWaitMinutesRange, 5, 12},
        {" 42 ", kWaitMinutesRange, 5, 42},
        {"abc", kWaitMinutesRange, 5, 5},
        {"", kWaitSecondsRange, 7, 7},
        {"4 2", kWaitSecondsRange, 7, 7},
        {"0x10", kWaitSecondsRange, 7, 7},
        {"75", kWaitSecondsRange, 7, 59},
        {"-5", kWaitSecondsRange, 7, 0},
        {"66666", kWaitMinutesRange, 5, 9999},
        {"99999999999999999999", kChangeMinutesRange, 30, 10000},
        {"-99999999999999999999", kChangeMinutesRange, 12, 30},  // no interval is the usual half hour
        {"0", kChangeMinutesRange, 12, 30},
        {"x", kChangeMinutesRange, 12, 12},
        {"x", kChangeMinutesRange, 0, 30},  // a previous value out of range follows the rule too
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
    } cases[] = {
        {17, 30, 0, false, true, 30, 17, 30},
        {9, 45, 0, true, false, 45, 9, 45},
        {26, 0, 2, false, true, 30, 18, 30},  // both stored: "Change every" wins; no interval is 30
        {12, 20000, 1, true, false, 10000, 12, 10000},
        {5, 66666, 0, false, false, 10000, 1, 10000},  // a mode the window does not offer is Sequential
        {7, 30, 0, false, false, 30, 1, 30},
        {2, 1, 2, false, false, 1, 2, 1},
    };
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
    ControlValues values;
    values.orderRow = 2;
    EXPECT_EQ(SettingsFromControls(values, {}).OrderMode, 2);  // choosing "Random" stores 2
}

TEST(SettingsModel, ChangeModeClicksNeverLeaveBothTicked) {
    Settings stored;
    stored.ChangeEvery = true;
    ControlValues values = ControlsFromSettings(stored);
    const struct {
        void (*click)(ControlValues&);
        bool* box;
        bool onceADay, every;
    } clicks[] = {
        {OnChangeOnceADayClicked, &values.changeOnceADay, true, false},
        {OnChangeEveryClicked, &values.changeEvery, false, true},
        {OnChangeEveryClicked, &values.changeEvery, false, false},
        {OnChangeOnceADayClicked, &values.changeOnceADay, true, false},
        {OnChangeOnceADayClicked, &values.changeOnceADay, false, false},
    };
    for (size_t i = 0; i < std::size(clicks); ++i) {
        SCOPED_TRACE(i);
        *clicks[i].box = !*clicks[i].box;  // the check box toggles itself before the rule runs
        clicks[i].click(values);
        EXPECT_EQ(values.changeOnceADay, clicks[i].onceADay);
        EXPECT_EQ(values.changeEvery, clicks[i].every);
        EXPECT_EQ(ChangeMinutesEnabled(values), clicks[i].every);
    }
}

// The agent's options show as stored, greyed without the agent, and count only with it.
TEST(SettingsModel, AgentOptionsFollowTheAgent) {
    const struct {
        bool agent, restoreSaver, restoreDelay;
        int clicks;  // on "Enable Vantora agent"
        bool shownSaver, shownDelay, enabled, savedSaver, savedDelay;
    } cases[] = {
        {false, true, true, 0, true, true, false, false, false},
        {true, false, true, 0, false, true, true, false, true},
        {true, true, true, 1, false, false, false, false, false},
        {false, false, false, 1, true, true, true, true, true},
        {true, false, true, 2, true, true, true, true, true},
    };
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

// Whatever the controls can show comes back unchanged through OK.
TEST(SettingsModel, SettingsTheWindowCanShowRoundTrip) {
    int checked = 0;
    for (const OrderChoice& choice : kOrderChoices)
        for (int changeMode = 0; changeMode < 3; ++changeMode)
            for (int32_t changeTime : {1, 30, 10000})
                for (int32_t delay : {1, 59, 300, 599999})
                    for (int flags = 0; flags < 16; ++flags) {
                        Settings settings;
                        settings.OrderMode = choice.mode;
                        settings.ChangeOnceADay = changeMode == 1;
                        settings.ChangeEvery = changeMode == 2;
                        settings.ChangeTime = changeTime;
                        settings.Delay = delay;
                        settings.AgentEnabled = flags & 1;
                        settings.RestoreSaver = (flags & 2) && settings.AgentEnabled;
                        settings.RestoreDelay = (flags & 4) && settings.AgentEnabled;
                        settings.PasswordProtected = flags & 8;
                        ASSERT_EQ(Fields(SettingsFromControls(ControlsFromSettings(settings), Settings{})),
                                  Fields(settings));
                        ++checked;
                    }
    EXPECT_EQ(checked, 3 * 3 * 3 * 4 * 16);
    // What no control shows stays as the window's copy holds it.
    Settings copy;
    copy.NewDay = copy.AgentEnabledAtLoad = copy.PasswordProtectedAtLoad = true;
    copy.InstallPath = "C:\\Inst";
    copy.SaverListFile = "C:\\Data\\saverlist.dat";
    const Settings saved = SettingsFromControls(ControlValues{}, copy);
    EXPECT_EQ(std::make_tuple(saved.NewDay, saved.AgentEnabledAtLoad, saved.PasswordProtectedAtLoad, saved.InstallPath,
                              saved.SaverListFile),
              std::make_tuple(true, true, true, copy.InstallPath, copy.SaverListFile));
}

}  // namespace
