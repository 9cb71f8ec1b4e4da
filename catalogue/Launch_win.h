// Starting a catalogued screensaver as a child process with the standard switches.
#pragma once

#include <windows.h>

#include "app/Handles.h"

// Starts AllSavers[index]: "/c" or "/c:<window>" (configure), "/s" (fullScreen) or "/p <window>".
// The started child, or an empty owner when the process could not be created. Both flags throw
// Exception "incorrect params in RunScreensaver"; a bad index throws EListError.
UniqueChildProcess RunScreensaver(int index, HWND window, bool configure, bool fullScreen);
