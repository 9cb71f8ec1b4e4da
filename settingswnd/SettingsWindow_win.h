// The settings window ("/c" or no switch): a tabbed window over a copy of the settings and the
// catalogue. OK applies every page to the copy and saves it once; Cancel and the close button drop it.
#pragma once

#include <windows.h>

#include <functional>

#include "catalogue/SaverList.h"

struct Settings;

// Settings mode: starts the catalogue, runs the window and returns when the window is gone. A
// class or window that cannot be made shows a bare message box and returns.
void RunSettingsWindow();

// Builds and shows the window over copies of `settings` and `savers`; null when it could not be
// made. The window owns its state and frees it when destroyed; `onDestroyed` runs at WM_DESTROY,
// after OK has saved.
HWND OpenSettingsWindow(const Settings& settings, TSaverList savers, std::function<void()> onDestroyed);

// What the window's loop does with a message before dispatching it: Ctrl+Tab, Ctrl+Shift+Tab,
// Ctrl+PageDown and Ctrl+PageUp change pages, then IsDialogMessage has its chance, so Tab and
// Shift+Tab move between controls. True when the message was handled.
bool PreTranslateSettingsMessage(HWND window, MSG& msg);
// The window's message loop; returns when WM_QUIT arrives.
void RunSettingsLoop(HWND window);
