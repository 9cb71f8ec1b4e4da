// What vantora.scr and the tray agent vtagent.exe agree on: the agent's message window, found by
// class and title, and the message posted to it after every save. No Windows headers, so both
// programs (and their tests) share these without sharing any code.
#pragma once

constexpr char kAgentWindowClass[] = "messages_Vantora";
constexpr char kAgentWindowTitle[] = "Vantora_messages";
constexpr unsigned kAgentSettingsChanged = 0x8002;
