// The program's settings variables, loaded once per mode and saved by the settings window.
#pragma once

#include <cstdint>
#include <string>

extern int32_t OrderMode;    // 1 Sequential, 2 Random, 4 Reverse; other stored values kept as read
extern bool ChangeOnceADay;  // keep one screensaver for the whole day
extern bool ChangeEvery;     // change every ChangeTime minutes
extern int32_t ChangeTime;   // minutes between changes
extern bool NewDay;          // "OrderDate" is not today
extern int32_t Delay;        // seconds of inactivity before Windows starts the screensaver
extern bool RestoreSaver;    // "Set itself as default screensaver" (the agent acts on it)
extern bool RestoreDelay;    // "Restore Wait time": the stored Delay wins over the system's
extern bool AgentEnabled;    // the tray agent starts with Windows
extern bool AgentEnabledAtLoad;
extern bool PasswordProtected;  // Windows asks for the password when the screensaver ends
extern bool PasswordProtectedAtLoad;
extern std::string InstallPath;    // install folder, no trailing backslash
extern std::string SaverListFile;  // full path of saverlist.dat

// Fills every variable from the registry and the system; shows "Corrupted registry..." and stops
// early when the install folder is unknown.
void LoadSettings();
// Writes the settings, the system settings, the agent's entry and saverlist.dat, then tells a
// running agent. A list file that cannot be written throws EFCreateError after the registry steps.
void SaveSettings();
// A setting's decimal value clamped to 0..1000000000; `fallback` (clamped too) when missing or
// not an integer.
int32_t ReadIntSetting(const std::string& name, int32_t fallback);
// Today's local date in the registry's date form: whole days since 30 December 1899.
double TodayDate();
