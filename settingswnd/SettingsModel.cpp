#include "settingswnd/SettingsModel.h"

#include "app/Text.h"

static int32_t Clamp(int32_t value, NumberRange range) {
    return value < range.lower ? range.belowLower : value > range.upper ? range.upper : value;
}

int OrderRowOf(int32_t orderMode) {
    for (int row = 0; row < kOrderChoiceCount; ++row) {
        if (kOrderChoices[row].mode == orderMode) return row;
    }
    return -1;
}

int32_t OrderModeOf(int orderRow, int32_t current) {
    return orderRow >= 0 && orderRow < kOrderChoiceCount ? kOrderChoices[orderRow].mode : current;
}

WaitTime WaitTimeOf(int32_t delaySeconds) {
    // Clamped as a whole, so the longest wait shows as 9999:59 rather than 9999 minutes and the
    // seconds left over from some larger value.
    const int32_t longest = kWaitMinutesRange.upper * 60 + kWaitSecondsRange.upper;
    const int32_t delay = Clamp(delaySeconds, {0, longest, 0});
    return {delay / 60, delay % 60};
}

int32_t DelayOf(int32_t minutes, int32_t seconds) {
    const int32_t delay = Clamp(minutes, kWaitMinutesRange) * 60 + Clamp(seconds, kWaitSecondsRange);
    return delay > 0 ? delay : kShortestDelay;
}

int32_t ChangeMinutesOf(int32_t changeTime) { return Clamp(changeTime, kChangeMinutesRange); }

int32_t FieldFromText(std::string_view text, NumberRange range, int32_t previous) {
    int32_t value = previous;
    TryParseIntSaturated(text, value);
    return Clamp(value, range);
}

ControlValues ControlsFromSettings(const Settings& settings) {
    ControlValues values;
    // A stored mode the window does not offer shows, and saves, as the first choice.
    const int orderRow = OrderRowOf(settings.OrderMode);
    values.orderRow = orderRow < 0 ? 0 : orderRow;
    values.changeOnceADay = settings.ChangeOnceADay;
    values.changeEvery = settings.ChangeEvery;
    OnChangeEveryClicked(values);
    values.changeMinutes = ChangeMinutesOf(settings.ChangeTime);
    const WaitTime wait = WaitTimeOf(settings.Delay);
    values.waitMinutes = wait.minutes;
    values.waitSeconds = wait.seconds;
    values.passwordProtected = settings.PasswordProtected;
    values.blackBetween = settings.BlackBetween;
    values.skipFailed = settings.SkipFailed;
    values.agentEnabled = settings.AgentEnabled;
    values.restoreSaver = settings.RestoreSaver;
    values.restoreDelay = settings.RestoreDelay;
    return values;
}

Settings SettingsFromControls(const ControlValues& values, const Settings& edited) {
    Settings settings = edited;
    settings.ChangeOnceADay = values.changeOnceADay;
    settings.OrderMode = OrderModeOf(values.orderRow, edited.OrderMode);
    settings.ChangeEvery = values.changeEvery;
    settings.ChangeTime = ChangeMinutesOf(values.changeMinutes);
    settings.PasswordProtected = values.passwordProtected;
    settings.BlackBetween = values.blackBetween;
    settings.SkipFailed = values.skipFailed;
    settings.AgentEnabled = values.agentEnabled;
    settings.RestoreSaver = values.agentEnabled && values.restoreSaver;
    settings.RestoreDelay = values.agentEnabled && values.restoreDelay;
    settings.Delay = DelayOf(values.waitMinutes, values.waitSeconds);
    return settings;
}

void OnChangeEveryClicked(ControlValues& values) {
    if (values.changeEvery) values.changeOnceADay = false;
}

void OnChangeOnceADayClicked(ControlValues& values) {
    if (values.changeOnceADay) values.changeEvery = false;
}

void OnAgentClicked(ControlValues& values) {
    values.restoreSaver = values.agentEnabled;
    values.restoreDelay = values.agentEnabled;
}
