// The catalogue of the process: building it at the start of a mode, ending the mode, and the
// folder scan behind it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "catalogue/SaverList.h"

extern TSaverList AllSavers;                      // the catalogue; a saver index points into it
extern std::vector<std::string> FoundSaverFiles;  // the screensaver paths of the last scan
// Set by the settings window before its full-screen test, so that the host reuses the catalogue.
extern bool LaunchedFromSettings;

// Seeds the random generator, empties the catalogue, loads the settings and discovers the savers.
void StartCatalogue();
// Frees the catalogue and ends the process with exit code 0.
[[noreturn]] void StopCatalogue();
// The freeing half of StopCatalogue.
void FreeCatalogue();

// Rebuilds AllSavers from the list file and the Windows, System and SysWOW64 folders.
void DiscoverSavers();
// Adds one folder's screensavers, sorted by path; append false empties FoundSaverFiles first.
void ScanFolder(const std::string& folder, bool append);
// Adds folder\name for every *.scr directly in `folder`, the program itself excepted.
void ListScreensaverFiles(const std::string& folder, std::vector<std::string>& list);
// String resource 1 of the file (at most 254 characters), else its file name without ".scr".
std::string SaverDescription(const std::string& filePath);
