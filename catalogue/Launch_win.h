// Starting a screensaver as a child process with the standard switches.
#pragma once

#include <windows.h>

#include <string>

#include "app/Handles.h"

// Starts the screensaver at `filePath`: "/c" or "/c:<window>" (configure), "/s" (fullScreen) or
// "/p <window>". The started child, or an empty owner when the process could not be created. Both
// flags throw Exception "incorrect params in RunScreensaver".
UniqueChildProcess RunScreensaver(const std::string& filePath, HWND window, bool configure, bool fullScreen);
