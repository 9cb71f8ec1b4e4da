#include "catalogue/Launch_win.h"

#include "app/Handles.h"
#include "catalogue/LaunchCommand.h"

UniqueChildProcess RunScreensaver(const std::string& filePath, HWND window, bool configure, bool fullScreen) {
    // Window handles carry 32 significant bits on 64-bit Windows too.
    const auto handle = static_cast<uint32_t>(reinterpret_cast<uintptr_t>(window));
    std::string commandLine = ScreensaverCommandLine(filePath, ScreensaverSwitch(handle, configure, fullScreen));

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
