// A screensaver stand-in for the start-up benchmark: it writes the performance counter at the
// moment it starts to the file named by VANTORA_STAMP (inherited from whoever started it), then
// exits at once. The counter is system-wide, so the benchmark can subtract its own start time.
#include <windows.h>

#include <cstdio>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    char path[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableA("VANTORA_STAMP", path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 1;
    char text[32] = {};
    const int size = std::snprintf(text, sizeof text, "%lld", static_cast<long long>(now.QuadPart));
    // Not shared while it is written: a reader that can open it sees the whole number.
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    const bool ok =
        WriteFile(file, text, static_cast<DWORD>(size), &written, nullptr) && written == static_cast<DWORD>(size);
    CloseHandle(file);
    return ok ? 0 : 1;
}
