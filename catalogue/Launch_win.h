// Starting a catalogued screensaver as a child process with the standard switches.
#pragma once

#include <windows.h>

// The last screensaver started; the handle belongs to the caller, who waits on it and closes it.
extern HANDLE ChildProcess;
extern DWORD ChildProcessId;

// Starts AllSavers[index]: "/c" or "/c:<window>" (configure), "/s" (fullScreen) or "/p <window>".
// True when the process was created. Both flags throw Exception "incorrect params in RunScreensaver";
// a bad index throws EListError.
bool RunScreensaver(int index, HWND window, bool configure, bool fullScreen);

// True while `process` (a handle from RunScreensaver, or null) has not ended.
bool ChildStillRunning(HANDLE process);
