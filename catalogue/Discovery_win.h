// The catalogue of the process: building it at the start of a mode, ending the mode, and the
// folder scan behind it, with the 64-bit file-system redirection helpers of a 32-bit build.
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

// Kernel32, loaded once; throws Exception "HKernel=0" when it cannot be.
HMODULE KernelModule();
// A 32-bit process on 64-bit Windows; computed once.
bool IsWow64();
// Switches the 64-bit file-system redirection off (true) or back on (false). Calls do not nest.
void SetFsRedirection(bool disabled);
// The SysWOW64 folder of a 32-bit process on 64-bit Windows; "" without the function. Throws
// "getsyswow64, not64" outside WOW64 and "getsyswow64 fail" when the call fails.
std::string SysWow64Folder();
