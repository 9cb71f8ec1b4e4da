// The tray menu's command identifiers, shared with the tests that drive the agent through
// WM_COMMAND as the menu does.
#pragma once

constexpr unsigned kAgentCommandStartSaver = 100;
constexpr unsigned kAgentCommandSettings = 101;
constexpr unsigned kAgentCommandExit = 102;
