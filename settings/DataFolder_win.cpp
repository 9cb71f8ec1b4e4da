#include "settings/DataFolder_win.h"

std::string GetDataFolder() { return {}; }
std::string RechooseDataFolder() { return {}; }
void SendWebErrorNotice(int, uintptr_t, const std::string&) {}
