// The program's data folder (saverlist.dat, bug reports) and the web error notice.
#pragma once

#include <cstdint>
#include <string>

// The data folder, chosen and verified on first use in the process; "" when none works.
std::string GetDataFolder();
// Discards the current choice and chooses afresh.
std::string RechooseDataFolder();
// Opens the product's error page for `code` in the user's browser, with the address (8 hex
// digits) when not 0 and the comment when not empty.
void SendWebErrorNotice(int code, uintptr_t address = 0, const std::string& comment = "");
