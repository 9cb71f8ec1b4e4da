// The program's settings variables, loaded once per mode and saved by the settings window.
#pragma once

#include <string>

extern std::string InstallPath;    // install folder, no trailing backslash
extern std::string SaverListFile;  // full path of saverlist.dat
