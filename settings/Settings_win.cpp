#include "settings/Settings_win.h"

std::string InstallPath;
std::string SaverListFile;
