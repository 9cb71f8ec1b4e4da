// The name a screensaver is listed under.
#pragma once

#include <string>

// String resource 1 of the file (at most 254 characters, up to a zero byte it may hold), else its
// file name without ".scr".
std::string SaverDescription(const std::string& filePath);
