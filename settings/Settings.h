// The program's settings as one value: each mode loads its own, the rotation host takes one as its
// input, and the settings window edits a copy that it saves on OK and drops on Cancel. The fields
// are plain values (no Windows headers), so pure code can hold and check them too; Load and Save
// are Win32 code.
#pragma once

#include <cstdint>
#include <string>

#include "settings/DataFolderRules.h"

enum class SaveResult {
    Saved,
    RegistryNotWritten,  // a value of the settings key, or a system setting, could not be written
};

struct Settings {
    int32_t OrderMode = 0;        // 1 Sequential, 2 Random, 4 Reverse; other stored values kept as read
    bool ChangeOnceADay = false;  // keep one screensaver for the whole day
    bool ChangeEvery = false;     // change every ChangeTime minutes
    int32_t ChangeTime = 0;       // minutes between changes
    bool NewDay = false;          // "OrderDate" is not today; cleared once the day's pick is recorded
    int32_t Delay = 0;            // seconds of inactivity before Windows starts the screensaver
    bool RestoreSaver = false;    // "Set itself as default screensaver" (the agent acts on it)
    bool RestoreDelay = false;    // "Restore Wait time": the stored Delay wins over the system's
    bool AgentEnabled = false;    // the tray agent starts with Windows
    bool AgentEnabledAtLoad = false;
    bool PasswordProtected = false;  // Windows asks for the password when the screensaver ends
    bool PasswordProtectedAtLoad = false;
    bool BlackBetween = true;   // a black screen stays behind the screensavers for the whole run
    bool SkipFailed = true;     // a screensaver that fails to start or ends by itself does not end the run
    std::string InstallPath;    // install folder, no trailing backslash
    std::string SaverListFile;  // full path of saverlist.dat

    // Fills the fields from the registry and the system. When the install folder is unknown it
    // shows "Corrupted registry..." (unless `notices` omits it) and skips the agent and system steps, but still finds
    // the data folder. Fields that cannot be read keep their values.
    void Load(StartNotices notices);
    // Writes the settings, the system settings and the agent's entry, and starts the agent when it is
    // on. The list file and the agent's notice are the caller's: see SaveSettingsAndList.
    SaveResult Save() const;
};
