// The system's own screensaver settings and the tray agent, as loading and saving the settings
// touch them.
#pragma once

#include <cstdint>
#include <string>

#include "settings/AgentContract.h"

// Seconds; 0 when the system cannot tell.
int32_t SystemScreenSaveTimeout();
bool SetSystemScreenSaveTimeout(int32_t seconds);
// The Delay to keep: the stored `delay` is put back into the system when it must win, else the
// system's timeout is adopted.
int32_t SynchroniseDelay(bool restoreDelay, int32_t delay);

// The agent's Run entry exists with some text.
bool ReadAgentEnabled();
// vtagent.exe is in `installPath` (false without an install folder).
bool AgentInstalled(const std::string& installPath);
// Writes the Run entry for the agent in `installPath`, or deletes it; false when that failed or
// there is no agent there to enter.
bool WriteAgentEntry(bool enabled, const std::string& installPath);
// Starts vtagent.exe from `installPath` hidden unless its message window exists or it is missing.
void StartAgentUnlessRunning(const std::string& installPath);
// Posts the settings-changed message to a running agent.
void NotifyAgent();

// "ScreenSaverIsSecure" is exactly "1".
bool ReadPasswordProtected();
bool WritePasswordProtected(bool on);
