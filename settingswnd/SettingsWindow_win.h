// The settings window ("/c" or no switch).
#pragma once

void RunSettingsWindow();
