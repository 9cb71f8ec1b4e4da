// Win32 helpers beside the settings value.
#pragma once

#include <string>

#include "settings/Settings.h"

// The install folder as the installer recorded it ("Path" of the install key); "" when unknown.
std::string ReadInstallPath();

// Today's local date in the registry's date form: whole days since 30 December 1899.
double TodayDate();
