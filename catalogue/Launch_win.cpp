#include "catalogue/Launch_win.h"

#include "app/Handles.h"
#include "catalogue/Catalogue_win.h"
#include "catalogue/LaunchCommand.h"

UniqueChildProcess RunScreensaver(int index, HWND window, bool configure, bool fullScreen) {
    // Window handles carry 32 significant bits on 64-bit Windows too.
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    // The switch comes first: conflicting flags fail before the index is even looked at.
    const std::string switchText = ScreensaverSwitch(handle, configure, fullScreen);
    std::string commandLine = ScreensaverCommandLine(AllSavers.GetItem(index).FilePath, switchText);

    // The child sees the files as discovery saw them when it recorded the path.
    ScopedRedirectionOff redirectionOff;
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        return {};
    }
    UniqueHandle mainThread(process.hThread);  // never needed
    return UniqueChildProcess(process.hProcess, process.dwProcessId);
}
