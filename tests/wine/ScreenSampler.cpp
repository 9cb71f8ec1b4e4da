#include "tests/wine/ScreenSampler.h"

#include <cstdio>

namespace {

// Wine's own export: the Linux path of a Windows path, in memory of the process heap.
std::string UnixPath(const std::string& path) {
    using ToUnix = char*(CDECL*)(const WCHAR*);
    const auto toUnix = reinterpret_cast<ToUnix>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::wstring wide(path.begin(), path.end());
    char* unix = toUnix ? toUnix(wide.c_str()) : nullptr;
    const std::string result = unix ? unix : "";
    if (unix) HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

LRESULT CALLBACK StandInProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) {
        RECT client;
        GetClientRect(hwnd, &client);
        const HBRUSH brush = CreateSolidBrush(kDesktopColour);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        DeleteObject(brush);
        return 1;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

HWND ShowDesktopStandIn() {
    HWND window = MakeTestWindow("VantoraDesktopStandIn", "desktop", StandInProc, WS_POPUP | WS_VISIBLE);
    if (window) {
        MoveWindow(window, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN), TRUE);
        SetForegroundWindow(window);
        UpdateWindow(window);
    }
    return window;
}

ScreenSampler::ScreenSampler(int maxSeconds) {
    char colour[16];
    std::snprintf(colour, sizeof colour, "%02X%02X%02X", GetRValue(kDesktopColour), GetGValue(kDesktopColour),
                  GetBValue(kDesktopColour));
    // Wine starts Linux programs too, but gives no process handle to wait on: the folder's files tell the rest.
    std::string command = "\"" + BinFolder() + "\\screensampler\" \"" + UnixPath(folder_.path()) + "\" " + colour +
                          " " + std::to_string(maxSeconds);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    started_ = CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
    if (info.hProcess) CloseHandle(info.hProcess);
    if (info.hThread) CloseHandle(info.hThread);
}

ScreenSampler::~ScreenSampler() {
    if (started_) Stop(0);
}

bool ScreenSampler::WaitUntilReady(DWORD timeoutMs) {
    return started_ &&
           PumpUntil([this] { return GetFileAttributesA((folder_ / "ready").c_str()) != INVALID_FILE_ATTRIBUTES; },
                     timeoutMs);
}

void ScreenSampler::Go() { WriteWholeFile(folder_ / "go", ""); }

std::optional<SampledFrames> ScreenSampler::Stop(DWORD timeoutMs) {
    if (!started_) return std::nullopt;
    WriteWholeFile(folder_ / "stop", "");
    const std::string result = folder_ / "result";
    const bool done =
        PumpUntil([&] { return GetFileAttributesA(result.c_str()) != INVALID_FILE_ATTRIBUTES; }, timeoutMs);
    started_ = false;
    SampledFrames frames;
    if (!done || std::sscanf(ReadWholeFile(result).c_str(), "frames=%ld shown=%ld hz=%lf covered_ms=%lf",
                             &frames.frames, &frames.shown, &frames.hz, &frames.coveredMs) != 4) {
        return std::nullopt;
    }
    return frames;
}
