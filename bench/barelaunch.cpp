// The baseline of the start-up benchmark: a GUI program, like vantora.scr, that does nothing but
// start the command line it was given. It then waits for that child so that, as with the host,
// the benchmark sees the run end when the launcher ends; the wait comes after the timed interval.
// Built a second time with BARELAUNCH_SYSTEM_DLLS, it imports the system DLLs vantora.scr imports,
// which tells the cost of loading them apart from the host's own work.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
#ifdef BARELAUNCH_SYSTEM_DLLS
    // Never true, but the compiler cannot know: the calls keep the imports, so the loader maps the DLLs.
    if (commandLine == nullptr) {
        RegCloseKey(HKEY_CURRENT_USER);
        return GetSystemMetrics(SM_CXSCREEN);
    }
#endif
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        return 1;
    }
    CloseHandle(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hProcess);
    return 0;
}
