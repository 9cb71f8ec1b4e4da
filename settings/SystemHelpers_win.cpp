#include "settings/SystemHelpers_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "app/DynCalls_win.h"
#include "app/Handles.h"
#include "settings/Registry_win.h"

namespace {
constexpr DWORD kPathBuffer = 1000;
}

void ShowMessage(const std::string& text) { MessageBoxA(nullptr, text.c_str(), "Vantora", MB_OK); }

std::string SystemErrorText(DWORD code) {
    char buffer[512] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, buffer,
                                  sizeof buffer, nullptr);
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        --length;
    return length > 0 ? std::string(buffer, length) : "error " + std::to_string(code);
}

void PumpMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string SpecialFolderPath(int csidl) {
    char buffer[kPathBuffer] = {};
    // The shell answers these two from the same kernel32 calls; asking kernel32 directly keeps
    // shell32 out of every start.
    if (csidl == CSIDL_WINDOWS || csidl == CSIDL_SYSTEM) {
        UINT length = csidl == CSIDL_WINDOWS ? GetWindowsDirectoryA(buffer, kPathBuffer)
                                             : GetSystemDirectoryA(buffer, kPathBuffer);
        return length > 0 && length < kPathBuffer ? std::string(buffer, length) : std::string();
    }
    // Loading shell32 costs a full-screen start tens of milliseconds before the first screensaver
    // shows, so it is loaded only when something actually needs the shell.
    auto getPath = DynShell32().SHGetSpecialFolderPathA;
    if (!getPath || !getPath(nullptr, buffer, csidl, FALSE)) return {};
    return buffer;
}

void ShellOpen(HWND owner, const std::string& file, const char* parameters, const char* folder, int show) {
    auto execute = DynShell32().ShellExecuteA;
    if (execute) execute(owner, "open", file.c_str(), parameters, folder, show);
}

std::string ShellFolder(const std::string& name) {
    TRegistry reg(KEY_READ);
    if (!reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false)) return {};
    return reg.ReadString(name);
}

std::string AppDataFolder() { return ShellFolder("AppData"); }

std::string TempFolder() {
    char buffer[kPathBuffer] = {};
    DWORD length = GetTempPathA(kPathBuffer, buffer);
    if (length == 0 || length >= kPathBuffer) return {};
    return std::string(buffer, length);
}

bool FolderExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void EnsureFolder(const std::string& path) {
    if (!FolderExists(path)) CreateDirectoryA(path.c_str(), nullptr);
}

std::string WindowTextOf(HWND window) {
    char buffer[kPathBuffer] = {};
    int length = GetWindowTextA(window, buffer, kPathBuffer);
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

std::wstring ToWide(const std::string& text) {
    if (text.empty()) return {};
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}
