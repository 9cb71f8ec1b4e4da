// The screensaver files of one folder.
#pragma once

#include <string>
#include <vector>

// Adds one folder's screensavers to FoundSaverFiles, sorted by path in the user locale's order
// ignoring case; append false empties FoundSaverFiles first.
void ScanFolder(const std::string& folder, bool append);
// Adds folder\name for every *.scr directly in `folder`, the program itself excepted.
void ListScreensaverFiles(const std::string& folder, std::vector<std::string>& list);
