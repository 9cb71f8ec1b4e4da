#include "catalogue/Catalogue_win.h"

#include <windows.h>

#include "app/Exception.h"
#include "app/Random.h"
#include "app/Text.h"
#include "catalogue/Discovery_win.h"
#include "settings/SystemHelpers_win.h"

Catalogue StartCatalogue(StartNotices notices) {
    SeedRandom(GetTickCount());
    Catalogue catalogue;
    catalogue.settings.Load(notices);
    catalogue.savers = DiscoverSavers(catalogue.settings.SaverListFile);
    return catalogue;
}

std::optional<std::string> SaveSaverList(const TSaverList& savers, const std::string& listFile) {
    if (!FileExists(listFile)) EnsureFolder(std::string(ParentFolderOf(listFile)));
    try {
        savers.SaveToFile(listFile);
    } catch (const EFCreateError& e) {
        return e.Message();
    } catch (const EListError& e) {
        return e.Message();
    }
    return std::nullopt;
}
