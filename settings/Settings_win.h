// The process's current settings, loaded once per mode by the catalogue start-up.
#pragma once

#include "settings/Settings.h"

Settings& CurrentSettings();

// CurrentSettings().Load(notices) and CurrentSettings().Save(savers).
void LoadSettings(StartNotices notices);
SaveResult SaveSettings(const TSaverList& savers);

// Today's local date in the registry's date form: whole days since 30 December 1899.
double TodayDate();
