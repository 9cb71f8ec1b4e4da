// Rebuilding the catalogue: the list file read back, the screensaver folders scanned, and the two
// reconciled so that ticks and order survive.
#pragma once

#include <string>

#include "catalogue/SaverList.h"

// The catalogue from `saverListFile` and the Windows, System and SysWOW64 folders.
TSaverList DiscoverSavers(const std::string& saverListFile);
