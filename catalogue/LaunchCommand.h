// The command line a screensaver is started with. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>

// "/c", "/c:<window>", "/s" or "/p <window>"; configure and fullScreen together throw Exception
// "incorrect params in RunScreensaver".
std::string ScreensaverSwitch(uint32_t window, bool configure, bool fullScreen);
// The quoted path, a space and the switch.
std::string ScreensaverCommandLine(const std::string& filePath, const std::string& switchText);
