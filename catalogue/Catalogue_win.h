// The catalogue of the process and its lifetime: built at the start of a mode, freed when the mode
// ends. The settings window and the rotation host both start and stop it here.
#pragma once

#include <string>
#include <vector>

#include "catalogue/SaverList.h"
#include "settings/DataFolderRules.h"

extern TSaverList AllSavers;                      // the catalogue; a saver index points into it
extern std::vector<std::string> FoundSaverFiles;  // the screensaver paths of the last scan
// Set by the settings window before its full-screen test, so that the host reuses the catalogue.
extern bool LaunchedFromSettings;

// Seeds the random generator, empties the catalogue, loads the settings and discovers the savers.
// `notices` says whether choosing the data folder may show its box and web notices.
void StartCatalogue(StartNotices notices);
// Frees the catalogue and ends the process with exit code 0.
[[noreturn]] void StopCatalogue();
