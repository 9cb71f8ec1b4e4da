#include "settingswnd/SettingsWindow_win.h"

void RunSettingsWindow() {}
