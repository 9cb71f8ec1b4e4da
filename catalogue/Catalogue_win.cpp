#include "catalogue/Catalogue_win.h"

#include <windows.h>

#include "app/Random.h"
#include "catalogue/Discovery_win.h"
#include "settings/Settings_win.h"

TSaverList AllSavers;
std::vector<std::string> FoundSaverFiles;
bool LaunchedFromSettings = false;

void StartCatalogue(StartNotices notices) {
    SeedRandom(GetTickCount());
    FoundSaverFiles.clear();
    AllSavers.Clear();
    LoadSettings(notices);
    DiscoverSavers(CurrentSettings().SaverListFile);
    LaunchedFromSettings = false;
}

void StopCatalogue() {
    AllSavers.Clear();
    FoundSaverFiles.clear();
    FoundSaverFiles.shrink_to_fit();
    ExitProcess(0);
}
