// The system's own screensaver settings and the tray agent, as loading and saving the settings
// touch them.
#pragma once

#include <cstdint>

extern const char kAgentWindowClass[];  // "messages_Vantora"
extern const char kAgentWindowTitle[];  // "Vantora_messages"
constexpr unsigned kAgentSettingsChanged = 0x8002;

// Seconds; 0 when the system cannot tell.
int32_t SystemScreenSaveTimeout();
void SetSystemScreenSaveTimeout(int32_t seconds);
// Puts the stored Delay back into the system when it must win, else adopts the system's timeout.
void SynchroniseDelay();

// The agent's Run entry exists with some text.
bool ReadAgentEnabled();
// Writes the Run entry for AgentEnabled, or deletes it.
void WriteAgentEntry();
// Starts vtagent.exe hidden unless its message window exists.
void StartAgentUnlessRunning();
// Posts the settings-changed message to a running agent.
void NotifyAgent();

// "ScreenSaverIsSecure" is exactly "1".
bool ReadPasswordProtected();
void WritePasswordProtected(bool on);
