// The screensaver files of one folder.
#pragma once

#include <string>
#include <vector>

// Appends one folder's screensavers to `found`, sorted by path in the user locale's order ignoring
// case.
void ScanFolder(const std::string& folder, std::vector<std::string>& found);
// Adds folder\name for every *.scr directly in `folder`, the program itself excepted.
void ListScreensaverFiles(const std::string& folder, std::vector<std::string>& list);
