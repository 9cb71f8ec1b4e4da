// What vantora.scr and the tray agent vtagent.exe agree on: the agent's message window, found by
// class and title, the message posted to it after every save, the registry values both read and the
// range of the wait time both keep. No Windows headers, so both programs (and their tests) share these
// without sharing any code.
#pragma once

#include <cstdint>

constexpr char kAgentWindowClass[] = "messages_Vantora";
constexpr char kAgentWindowTitle[] = "Vantora_messages";
constexpr unsigned kAgentSettingsChanged = 0x8002;

// The key of both programs: the settings under HKEY_CURRENT_USER, the install under
// HKEY_LOCAL_MACHINE.
constexpr char kVantoraKey[] = "Software\\Kestrella\\Vantora";
// Settings the window saves and the agent acts on.
constexpr char kDelayValue[] = "Delay";
constexpr char kRestoreSaverValue[] = "RestoreSaver";
constexpr char kRestoreDelayValue[] = "RestoreDelay";
// Install value: where the installer put vantora.scr.
constexpr char kSaverValue[] = "Saver";

// "Delay", the seconds of inactivity before Windows starts the screensaver, as the settings window
// lets the user set it: from 0:01 to 9999:59 (minutes:seconds).
constexpr int32_t kLongestWaitMinutes = 9999;
constexpr int32_t kShortestDelay = 1;
constexpr int32_t kLongestDelay = kLongestWaitMinutes * 60 + 59;
