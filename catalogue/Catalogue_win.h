// The catalogue a mode works on: the settings it was found with and the screensavers, built at the
// start of the settings, full-screen and preview modes and released with the value.
#pragma once

#include <optional>
#include <string>

#include "catalogue/SaverList.h"
#include "settings/Settings.h"

struct Catalogue {
    Settings settings;
    TSaverList savers;  // a saver index points into this list
};

// Seeds the random generator, loads the settings and discovers the savers. `notices` says whether
// the settings may show their boxes and web notices.
Catalogue StartCatalogue(StartNotices notices);

// Writes `savers` to `listFile`, making its folder when the file is new. When it cannot (the file
// cannot be replaced, or an entry cannot be written) the reason, naming the file or the entry; the
// old file is then left whole.
std::optional<std::string> SaveSaverList(const TSaverList& savers, const std::string& listFile);
