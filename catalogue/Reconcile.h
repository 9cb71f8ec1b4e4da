// Rebuilding the catalogue from the list file and a fresh folder scan. No Windows headers: the
// file system is reached through the two callbacks, so the rules run natively too.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "catalogue/SaverList.h"

// A file the catalogue takes: extension ".scr" in any case, and not the program itself.
bool IsScreensaverFileName(std::string_view fileName);

// Reconciles `savers` (as loaded from the list file) with `found` (the scan, folder by folder):
// - an entry takes the first found file with its (ASCII case-insensitive) file name; it follows
//   that file when its own path no longer exists, and it is dropped when no such file was found;
// - every other found file whose name is not catalogued yet becomes a new ticked entry, placed by
//   description: at the end when it sorts after the last entry, otherwise before the first entry
//   that sorts strictly after it (descriptions compared ASCII-lower-cased, byte by byte as
//   unsigned values).
// Afterwards `found` holds the files that were skipped as copies of a catalogued name.
// Runs in O(n log n) for n entries and files.
void ReconcileSavers(TSaverList& savers,
                     std::vector<std::string>& found,
                     const std::function<bool(const std::string&)>& fileExists,
                     const std::function<std::string(const std::string&)>& describe);
