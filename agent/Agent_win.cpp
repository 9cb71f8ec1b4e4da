// vtagent.exe: the tray agent. It keeps a notification-area icon with a small menu, and, while its
// options ask for it, puts the system screensaver and its wait time back when another program
// changes them. It must never stand in the user's way: no message boxes, no waits on other
// processes, and every failure quietly leaves things as they are.
#include <windows.h>
// shellapi.h needs the declarations of windows.h first.
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <exception>
#include <string>

#include "agent/AgentRules.h"
#include "app/Handles.h"
#include "settings/AgentContract.h"

namespace {

constexpr char kInstanceMutex[] = "Local\\Vantora_agent";
constexpr char kTooltip[] = "Vantora";
constexpr char kBackingOffTooltip[] = "Vantora: another program keeps changing the screensaver; leaving it for now";
constexpr char kControlPanelKey[] = "Control Panel";
constexpr char kDesktopKey[] = "Control Panel\\Desktop";
constexpr char kLogName[] = "vtagent.log";
constexpr DWORD kLogLimitBytes = 256 * 1024;
constexpr UINT kTrayCallback = WM_APP + 1;
constexpr UINT kTrayIconId = 1;
constexpr UINT_PTR kTrayRetryTimer = 1;
constexpr UINT kTrayRetryMs = 2000;
constexpr UINT_PTR kBackOffTimer = 2;
constexpr int kTrayRetries = 30;
constexpr int kMainIcon = 500;
constexpr UINT kAgentCommandStartSaver = 100;
constexpr UINT kAgentCommandSettings = 101;
constexpr UINT kAgentCommandExit = 102;

// Everything the window procedure needs; one agent per process.
struct AgentState {
    HWND window = nullptr;
    UINT taskbarCreated = 0;
    bool iconShown = false;
    int trayRetriesLeft = kTrayRetries;
    const char* tooltip = kTooltip;
    std::string logPath;
    UniqueHIcon icon;
    AgentOptions options;
    std::string installedSaver;
    bool saverMissingLogged = false;
    PutBackGuard guard;
    // The watch on Control Panel\Desktop, and on its parent for the key being deleted and made again.
    UniqueHKey parentKey;
    UniqueHKey desktopKey;
    UniqueHandle parentChanged;
    UniqueHandle desktopChanged;
};

AgentState gAgent;

// vtagent.log in the user's temporary folder; "" when there is none.
std::string LogPath() {
    char folder[MAX_PATH] = {};
    const DWORD length = GetTempPathA(MAX_PATH, folder);
    return length > 0 && length < MAX_PATH ? std::string(folder, length) + kLogName : std::string();
}

// One line with the local time. Never fails loudly and never allocates, so the failure handlers can
// use it too.
void Log(const char* text, const char* detail = "") noexcept {
    if (gAgent.logPath.empty()) return;
    UniqueFile file(CreateFileA(gAgent.logPath.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return;
    SYSTEMTIME now;
    GetLocalTime(&now);
    char line[1024];
    const int size = std::snprintf(line, sizeof line, "%04u-%02u-%02u %02u:%02u:%02u  %s%s\r\n", now.wYear, now.wMonth,
                                   now.wDay, now.wHour, now.wMinute, now.wSecond, text, detail);
    DWORD written = 0;
    if (size > 0)
        WriteFile(file.get(), line, static_cast<DWORD>(std::min<int>(size, sizeof line - 1)), &written, nullptr);
}

// The log is started afresh once it has grown past its limit, so it never fills the disk.
void OpenLog() {
    gAgent.logPath = LogPath();
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!gAgent.logPath.empty() && GetFileAttributesExA(gAgent.logPath.c_str(), GetFileExInfoStandard, &data) &&
        (data.nFileSizeHigh != 0 || data.nFileSizeLow > kLogLimitBytes)) {
        DeleteFileA(gAgent.logPath.c_str());
    }
}

// No exception may leave a callback of the system's or end the agent: a failure is logged and the
// agent goes on with its next message.
template <typename Work>
void Guarded(const char* what, Work&& work) noexcept {
    try {
        work();
    } catch (const std::exception& e) {
        Log(what, e.what());
    } catch (...) {
        Log(what, "unknown failure");
    }
}

// "" for a missing key or value, or anything that is not a string.
std::string RegReadString(HKEY root, const char* path, const char* name) {
    UniqueHKey key;
    if (RegOpenKeyExA(root, path, 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) return {};
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key.get(), name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return {};
    if ((type != REG_SZ && type != REG_EXPAND_SZ) || size == 0) return {};
    std::string value(size, '\0');
    if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()), &size) !=
        ERROR_SUCCESS) {
        return {};
    }
    // The stored size may or may not count a terminating NUL.
    value.resize(size);
    const size_t end = value.find('\0');
    if (end != std::string::npos) value.resize(end);
    return value;
}

void RegWriteString(HKEY root, const char* path, const char* name, const std::string& value) {
    UniqueHKey key;
    if (RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr) != ERROR_SUCCESS) return;
    RegSetValueExA(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryA(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(path, length) : std::string();
}

// The installer records where it put vantora.scr ("Saver" beside "Path"); a hand-made install
// without it is taken to have vantora.scr in the system folder.
std::string FindInstalledSaver() {
    return InstalledSaverPath(RegReadString(HKEY_LOCAL_MACHINE, kVantoraKey, kSaverValue), SystemFolder());
}

// The installed vantora.scr, or "" while its file is missing: a screensaver that is not there is
// never set.
std::string PresentSaver() {
    const DWORD attributes = GetFileAttributesA(gAgent.installedSaver.c_str());
    const bool present = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
    if (!present && !gAgent.saverMissingLogged && !gAgent.installedSaver.empty()) {
        Log("The installed screensaver is missing, so the system screensaver is left as it is: ",
            gAgent.installedSaver.c_str());
    }
    gAgent.saverMissingLogged = !present;
    return present ? gAgent.installedSaver : std::string();
}

void ReadOptions() {
    gAgent.options = AgentOptionsFrom(RegReadString(HKEY_CURRENT_USER, kVantoraKey, kRestoreSaverValue),
                                      RegReadString(HKEY_CURRENT_USER, kVantoraKey, kRestoreDelayValue));
    gAgent.installedSaver = FindInstalledSaver();
}

SystemSaverState ReadSystemState() {
    SystemSaverState state;
    state.saverPath = RegReadString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE");
    state.storedActive = RegReadString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveActive");
    state.storedTimeout = RegReadString(HKEY_CURRENT_USER, kDesktopKey, "ScreenSaveTimeOut");
    BOOL active = FALSE;
    if (SystemParametersInfoA(SPI_GETSCREENSAVEACTIVE, 0, &active, 0)) state.liveActive = active != FALSE;
    UINT timeout = 0;
    if (SystemParametersInfoA(SPI_GETSCREENSAVETIMEOUT, 0, &timeout, 0))
        state.liveTimeout = static_cast<int32_t>(timeout);
    return state;
}

void SetTrayTip(const char* tooltip);

void BeginBackOff(DWORD now) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "Another program keeps changing the screensaver settings (%d put-backs within %u s): leaving "
                  "them as they are for %u minutes.",
                  PutBackGuard::kPutBackBurst, PutBackGuard::kPutBackWindowMs / 1000, PutBackGuard::kBackOffMs / 60000);
    Log(text);
    SetTrayTip(kBackingOffTooltip);
    if (gAgent.window != nullptr) SetTimer(gAgent.window, kBackOffTimer, gAgent.guard.BackOffLeft(now), nullptr);
}

void EndBackOff(const char* why) {
    if (gAgent.tooltip != kBackingOffTooltip) return;
    if (gAgent.window != nullptr) KillTimer(gAgent.window, kBackOffTimer);
    SetTrayTip(kTooltip);
    Log("Putting the screensaver settings back again: ", why);
}

// Puts back what the options keep. The writes change the watched key again; the check that follows
// finds nothing left to do, so the agent never answers itself twice. No SPIF_SENDCHANGE: that
// broadcast is sent, and a hung window elsewhere would stall the agent.
void EnforceOptions() {
    if (!gAgent.options.restoreSaver && !gAgent.options.restoreDelay) return;
    const DWORD now = GetTickCount();
    if (gAgent.guard.BackOffLeft(now) > 0) return;
    // "Delay" is read afresh: vantora.scr stores it before it sets the system timeout, so a save in
    // progress is followed, not undone.
    const int32_t delay = DelayFromText(RegReadString(HKEY_CURRENT_USER, kVantoraKey, kDelayValue));
    const std::string saver = gAgent.options.restoreSaver ? PresentSaver() : std::string();
    const SaverRepairs repairs = RepairsNeeded(gAgent.options, ReadSystemState(), saver, delay);
    if (!repairs.any()) return;
    switch (gAgent.guard.Decide(now)) {
        case PutBackGuard::Verdict::StartBackOff:
            BeginBackOff(now);
            return;
        case PutBackGuard::Verdict::BackingOff:
            return;
        case PutBackGuard::Verdict::PutBack:
            break;
    }
    if (repairs.saverPath) {
        RegWriteString(HKEY_CURRENT_USER, kDesktopKey, "SCRNSAVE.EXE", gAgent.installedSaver);
    }
    if (repairs.active) {
        SystemParametersInfoA(SPI_SETSCREENSAVEACTIVE, TRUE, nullptr, SPIF_UPDATEINIFILE);
    }
    if (repairs.timeout != 0) {
        SystemParametersInfoA(SPI_SETSCREENSAVETIMEOUT, static_cast<UINT>(repairs.timeout), nullptr,
                              SPIF_UPDATEINIFILE);
    }
}

// Arms a one-shot notification for the next value change under Control Panel\Desktop, where the
// screensaver path, its switch and its timeout live. Arming before reading means no change slips
// between a check and the next notification. A handle to a deleted key never hears of the key made
// in its place (a .reg import, a profile tool or a policy refresh delete and write it again), so
// the key is opened afresh when asked, or when arming fails; while it is missing, the parent's
// watch tells when it is back.
void WatchDesktopKey(bool reopen) {
    if (reopen) gAgent.desktopKey.reset();
    for (int attempt = 0; attempt < 2 && gAgent.desktopChanged; ++attempt) {
        if (!gAgent.desktopKey) RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_NOTIFY, gAgent.desktopKey.put());
        if (!gAgent.desktopKey) return;
        if (RegNotifyChangeKeyValue(gAgent.desktopKey.get(), FALSE, REG_NOTIFY_CHANGE_LAST_SET,
                                    gAgent.desktopChanged.get(), TRUE) == ERROR_SUCCESS) {
            return;
        }
        gAgent.desktopKey.reset();
    }
}

// Control Panel's subkeys coming and going: Desktop deleted or made again.
void WatchParentKey() {
    if (!gAgent.parentChanged) return;
    if (!gAgent.parentKey) RegOpenKeyExA(HKEY_CURRENT_USER, kControlPanelKey, 0, KEY_NOTIFY, gAgent.parentKey.put());
    if (gAgent.parentKey) {
        RegNotifyChangeKeyValue(gAgent.parentKey.get(), FALSE, REG_NOTIFY_CHANGE_NAME, gAgent.parentChanged.get(),
                                TRUE);
    }
}

void StartSaver(const char* switchText) {
    if (gAgent.installedSaver.empty()) return;
    std::string commandLine = SaverCommandLine(gAgent.installedSaver, switchText);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
}

NOTIFYICONDATAA TrayData() {
    NOTIFYICONDATAA data{};
    // The version 2 layout is the one every shell since Windows 2000 accepts.
    data.cbSize = NOTIFYICONDATAA_V2_SIZE;
    data.hWnd = gAgent.window;
    data.uID = kTrayIconId;
    return data;
}

// The shell may not be up yet at logon, so a failed add is retried for a while and again whenever
// Explorer announces a new taskbar.
void ShowTrayIcon() {
    NOTIFYICONDATAA data = TrayData();
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = kTrayCallback;
    data.hIcon = gAgent.icon.get();
    lstrcpynA(data.szTip, gAgent.tooltip, sizeof data.szTip);
    gAgent.iconShown = Shell_NotifyIconA(NIM_ADD, &data) != FALSE;
    if (gAgent.iconShown) {
        KillTimer(gAgent.window, kTrayRetryTimer);
    } else if (gAgent.trayRetriesLeft > 0) {
        SetTimer(gAgent.window, kTrayRetryTimer, kTrayRetryMs, nullptr);
    }
}

void SetTrayTip(const char* tooltip) {
    gAgent.tooltip = tooltip;
    if (!gAgent.iconShown) return;
    NOTIFYICONDATAA data = TrayData();
    data.uFlags = NIF_TIP;
    lstrcpynA(data.szTip, tooltip, sizeof data.szTip);
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void HideTrayIcon() {
    if (!gAgent.iconShown) return;
    NOTIFYICONDATAA data = TrayData();
    Shell_NotifyIconA(NIM_DELETE, &data);
    gAgent.iconShown = false;
}

void ShowTrayMenu(HWND hwnd) {
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) return;
    AppendMenuA(menu, MF_STRING, kAgentCommandStartSaver, "Start screensaver now");
    AppendMenuA(menu, MF_STRING, kAgentCommandSettings, "Settings");
    AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(menu, MF_STRING, kAgentCommandExit, "Exit");
    SetMenuDefaultItem(menu, kAgentCommandSettings, FALSE);
    POINT cursor{};
    GetCursorPos(&cursor);
    // Without the foreground the menu would not close when the user clicks elsewhere, and without
    // the WM_NULL it could close at once the next time (KB135788).
    SetForegroundWindow(hwnd);
    TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, cursor.x, cursor.y, 0, hwnd, nullptr);
    PostMessageA(hwnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

bool OnCommand(HWND hwnd, UINT id) {
    switch (id) {
        case kAgentCommandStartSaver:
            StartSaver("/s");
            return true;
        case kAgentCommandSettings:
            StartSaver("/c");
            return true;
        case kAgentCommandExit:
            DestroyWindow(hwnd);
            return true;
        default:
            return false;
    }
}

void OnTrayCallback(HWND hwnd, UINT mouseMessage) {
    switch (mouseMessage) {
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
            ShowTrayMenu(hwnd);
            break;
        case WM_LBUTTONDBLCLK:
            OnCommand(hwnd, kAgentCommandSettings);
            break;
    }
}

void OnTimer(UINT_PTR id) {
    if (id == kBackOffTimer) {
        const uint32_t left = gAgent.guard.BackOffLeft(GetTickCount());
        if (left > 0) {
            SetTimer(gAgent.window, kBackOffTimer, left, nullptr);
            return;
        }
        EndBackOff("the back-off is over.");
        EnforceOptions();
        return;
    }
    if (id != kTrayRetryTimer) return;
    KillTimer(gAgent.window, kTrayRetryTimer);
    --gAgent.trayRetriesLeft;
    if (!gAgent.iconShown) ShowTrayIcon();
}

// A save in Vantora's settings is the user's own choice: it ends a back-off at once.
void OnSettingsChanged() {
    gAgent.guard.Reset();
    EndBackOff("the settings were saved.");
    ReadOptions();
    EnforceOptions();
}

LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == gAgent.taskbarCreated && message != 0) {
        gAgent.iconShown = false;
        gAgent.trayRetriesLeft = kTrayRetries;
        ShowTrayIcon();
        return 0;
    }
    switch (message) {
        case kAgentSettingsChanged:
            OnSettingsChanged();
            return 0;
        case kTrayCallback:
            OnTrayCallback(hwnd, static_cast<UINT>(lParam));
            return 0;
        case WM_COMMAND:
            if (OnCommand(hwnd, LOWORD(wParam))) return 0;
            break;
        case WM_TIMER:
            OnTimer(wParam);
            return 0;
        // Changes made in memory only, without touching the registry, arrive as a broadcast.
        case WM_SETTINGCHANGE:
            EnforceOptions();
            return 0;
        case WM_DESTROY:
            HideTrayIcon();
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    LRESULT result = 0;
    Guarded("A message to the agent's window failed: ", [&] { result = HandleMessage(hwnd, message, wParam, lParam); });
    return result;
}

// A hidden top-level window, not a message-only one: FindWindow and setting broadcasts reach only
// top-level windows.
HWND CreateAgentWindow(HINSTANCE instance) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kAgentWindowClass;
    if (!RegisterClassA(&windowClass)) return nullptr;
    return CreateWindowExA(WS_EX_TOOLWINDOW, kAgentWindowClass, kAgentWindowTitle, WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
}

// Waits on the registry notifications and the message queue together, so the agent sleeps until
// one has something for it. The queue is emptied after every wake, so a program that keeps
// rewriting the key cannot starve the menu or a close request.
int RunMessageLoop() {
    for (;;) {
        HANDLE events[] = {gAgent.parentChanged.get(), gAgent.desktopChanged.get()};
        const DWORD count = events[0] != nullptr && events[1] != nullptr ? 2 : 0;
        const DWORD woken = MsgWaitForMultipleObjectsEx(count, events, INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_FAILED) return 1;
        if (woken < WAIT_OBJECT_0 + count) {
            // Both may have fired; the one that woke the wait is already reset.
            auto fired = [&](DWORD index) {
                return woken == WAIT_OBJECT_0 + index || WaitForSingleObject(events[index], 0) == WAIT_OBJECT_0;
            };
            const bool parentFired = fired(0);
            fired(1);
            if (parentFired) WatchParentKey();
            WatchDesktopKey(parentFired);
            Guarded("Putting the screensaver settings back failed: ", EnforceOptions);
        }
        MSG message{};
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return static_cast<int>(message.wParam);
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    // One agent per session: a second start finds the mutex taken and leaves.
    UniqueHandle instanceMutex(CreateMutexA(nullptr, FALSE, kInstanceMutex));
    if (!instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) return 0;

    OpenLog();
    gAgent.parentChanged.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    gAgent.desktopChanged.reset(CreateEventA(nullptr, FALSE, FALSE, nullptr));
    WatchParentKey();
    WatchDesktopKey(false);
    Guarded("Reading the options failed: ", [] {
        ReadOptions();
        EnforceOptions();
    });

    // The window comes last: whoever finds it may rely on an agent that already watches.
    gAgent.window = CreateAgentWindow(instance);
    if (gAgent.window == nullptr) return 1;
    gAgent.taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    gAgent.icon.reset(static_cast<HICON>(LoadImageA(instance, MAKEINTRESOURCEA(kMainIcon), IMAGE_ICON,
                                                    GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    ShowTrayIcon();
    return RunMessageLoop();
}
