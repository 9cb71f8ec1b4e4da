// What vantora.scr and the tray agent vtagent.exe agree on: the agent's message window, found by
// class and title, the message posted to it after every save, and the range of the wait time both
// keep. No Windows headers, so both programs (and their tests) share these without sharing any code.
#pragma once

#include <cstdint>

constexpr char kAgentWindowClass[] = "messages_Vantora";
constexpr char kAgentWindowTitle[] = "Vantora_messages";
constexpr unsigned kAgentSettingsChanged = 0x8002;

// "Delay", the seconds of inactivity before Windows starts the screensaver, as the settings window
// lets the user set it: from 0:01 to 9999:59 (minutes:seconds).
constexpr int32_t kLongestWaitMinutes = 9999;
constexpr int32_t kShortestDelay = 1;
constexpr int32_t kLongestDelay = kLongestWaitMinutes * 60 + 59;
