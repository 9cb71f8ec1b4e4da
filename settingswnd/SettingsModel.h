// The settings window's values: what each control shows for the settings it edits, the rules that
// tie controls together, and what the controls give back on OK. Every value is brought into its
// control's range on the way in and into the setting's range on the way out, so neither a stored
// oddity nor typed text reaches the controls or the registry unchecked.
// No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string_view>

#include "settings/Settings.h"
#include "settingswnd/SettingsLayout.h"

// The state of the controls that edit settings, as numbers and ticks.
struct ControlValues {
    int orderRow = -1;  // row of kOrderChoices, -1 for none
    bool changeOnceADay = false;
    bool changeEvery = false;
    int32_t changeMinutes = kChangeMinutesFallback;
    int32_t waitMinutes = 0;
    int32_t waitSeconds = 0;
    bool passwordProtected = false;
    bool blackBetween = true;
    bool skipFailed = true;
    bool agentEnabled = false;
    bool restoreSaver = false;
    bool restoreDelay = false;
    bool agentInstalled = true;  // vtagent.exe is in the install folder
};

// The change interval's edit box, up-down and label are enabled only with "Change every".
inline bool ChangeMinutesEnabled(const ControlValues& values) { return values.changeEvery; }
// The agent box is enabled only when there is an agent to start, and its two options only with it.
inline bool AgentBoxEnabled(const ControlValues& values) { return values.agentInstalled; }
inline bool AgentOptionsEnabled(const ControlValues& values) { return values.agentInstalled && values.agentEnabled; }

// The combo row for an order mode, -1 for a mode the window does not offer; and back, where no
// row keeps `current`.
int OrderRowOf(int32_t orderMode);
int32_t OrderModeOf(int orderRow, int32_t current);

// The wait time as the two fields show it, within their ranges: a time longer than the fields can
// hold shows as their largest value.
struct WaitTime {
    int32_t minutes;
    int32_t seconds;
};
WaitTime WaitTimeOf(int32_t delaySeconds);
// Seconds for the fields' values (clamped to their ranges first); no wait at all saves 1 second.
int32_t DelayOf(int32_t minutes, int32_t seconds);
// The change interval as its field shows it, and the minutes a field value saves: the field's
// rule (none or less is 30, more than the field holds is its largest value).
int32_t ChangeMinutesOf(int32_t changeTime);

// The one rule of every number field, applied when focus leaves it: a number (beyond 32 bits too)
// is brought into `range`; text that is no number (letters, empty) gives `previous` back, brought
// into the range the same way.
int32_t FieldFromText(std::string_view text, NumberRange range, int32_t previous);

// The window edits a copy of the settings; OK saves it, Cancel drops it.
// Filling the controls from the settings, the change-mode rule and the agent rule already applied:
// a stored once-a-day with change-every shows change-every alone, and stored agent options show as
// stored (greyed when the agent is off).
ControlValues ControlsFromSettings(const Settings& settings);
// The settings the controls stand for. Settings the controls cannot show (an order mode the window
// does not offer) keep their value from `edited`, as do the fields no control edits; the agent's options count only
// with the agent.
Settings SettingsFromControls(const ControlValues& values, const Settings& edited);

// Rules run after a check box toggled itself: "Change every" and "Change once a day" exclude each
// other; the agent box sets both of its options to its own state.
void OnChangeEveryClicked(ControlValues& values);
void OnChangeOnceADayClicked(ControlValues& values);
void OnAgentClicked(ControlValues& values);
