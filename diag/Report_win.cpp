#include "diag/Report_win.h"

#include <windows.h>

#include <atomic>

#include "app/Handles.h"
#include "app/Random.h"
#include "diag/CrashState_win.h"
#include "diag/ReportPage.h"
#include "diag/StackWalk_win.h"
#include "diag/SystemInfo_win.h"
#include "diag/Version.h"
#include "settings/DataFolder_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"

uint32_t AppMode = 0;
std::atomic<bool> AnyReporting{false};

namespace {

constexpr int kNoticeReportFileFailed = 100;
constexpr int kNoticeNoDataFolder = 120;
constexpr int kNoticeFailedWhileReporting = 121;
constexpr DWORD kOtherReportPauseMs = 100000;
constexpr DWORD kExplorerPollMs = 500;
// explorer.exe hands the page to the browser and ends within a second or two. One that stays (Wine's
// explorer keeps a window open when no program is registered for .html) must not keep a crashed
// screensaver alive for ever.
constexpr DWORD kExplorerWaitLimitMs = 15000;
constexpr double kReportNumberRange = 9999;

std::string ReportPath;

std::string RegisterTextOf(const CONTEXT& c) {
#ifdef _WIN64
    return FormatRegisterLine({{"RAX", c.Rax},
                               {"RBX", c.Rbx},
                               {"RCX", c.Rcx},
                               {"RDX", c.Rdx},
                               {"RSI", c.Rsi},
                               {"RDI", c.Rdi},
                               {"RBP", c.Rbp},
                               {"RSP", c.Rsp}},
                              kAddressDigits);
#else
    return FormatRegisterLine({{"EAX", c.Eax},
                               {"EBX", c.Ebx},
                               {"ECX", c.Ecx},
                               {"EDX", c.Edx},
                               {"ESI", c.Esi},
                               {"EDI", c.Edi},
                               {"EBP", c.Ebp},
                               {"ESP", c.Esp}},
                              kAddressDigits);
#endif
}

// Where reports go when the data folder cannot be had.
std::string FallbackReportFolder() {
    const std::string appData = AppDataFolder();
    return appData.empty() ? ReadInstallPath() : appData + "\\Vantora";
}

// The data folder through `lookup`; a lookup that throws sends notice 120. An empty answer means
// no data folder works at all, and the report must not land in the root of the current drive.
std::string ReportFolder(std::string (*lookup)(const std::string& installPath, StartNotices notices)) {
    std::string folder;
    try {
        folder = lookup(ReadInstallPath(), StartNotices::Show);
    } catch (...) {
        SendWebErrorNotice(kNoticeNoDataFolder);
        return FallbackReportFolder();
    }
    return folder.empty() ? FallbackReportFolder() : folder;
}

ReportFields GatherFields(const std::string& message, const std::string& className, uintptr_t address, uint32_t flags) {
    const CrashThreadState& state = ThreadState();
    ReportFields f;
    f.message = message;
    f.className = className;
    f.address = address;
    f.flags = flags;
    f.version = VersionText();
    f.system = SystemText();
    f.processor = ProcessorText();
    f.memory = MemoryText();
    f.moduleHandle = reinterpret_cast<uintptr_t>(OwnModule());
    f.mainInstance = reinterpret_cast<uintptr_t>(GetModuleHandleA(nullptr));
    f.registers = state.registerText;
    f.fault.code = state.savedFault.ExceptionCode;
    f.fault.parameterCount = state.savedFault.NumberParameters;
    f.fault.parameters[0] = state.savedFault.ExceptionInformation[0];
    f.fault.parameters[1] = state.savedFault.ExceptionInformation[1];
    f.frameAddress = state.frameAddress;
    f.trace = state.traceText;
    f.dump = state.dumpText;
    f.addressDigits = kAddressDigits;
    return f;
}

// One attempt in `folder`: false after notice 100 and the message box when the file cannot be made.
bool WriteReportIn(const std::string& folder, const ReportFields& fields) {
    ReportPath = ChooseReportPath(
        folder, [](const std::string& path) { return FileExists(path); },
        [] { return static_cast<int>(RandomRounded(kReportNumberRange)); });
    if (!FileExists(ReportPath)) EnsureFolder(ReportPath.substr(0, ReportPath.rfind('\\') + 1));
    UniqueFile file(
        CreateFileA(ReportPath.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        SendWebErrorNotice(kNoticeReportFileFailed);
        ShowMessage("Failed to create bugreport file \"" + ReportPath + "\"");
        return false;
    }
    const std::string page = BuildReportPage(fields);
    DWORD written = 0;
    WriteFile(file.get(), page.data(), static_cast<DWORD>(page.size()), &written, nullptr);
    // When every name was taken the last one is reused; what was there before must not trail the page.
    SetEndOfFile(file.get());
    return true;
}

bool WriteBugReport(const std::string& message, const std::string& className, uintptr_t address, uint32_t flags) {
    const ReportFields fields = GatherFields(message, className, address, flags);
    return WriteReportIn(ReportFolder(GetDataFolder), fields) ||
           WriteReportIn(ReportFolder(RechooseDataFolder), fields);
}

void OpenReport(uint32_t flags) {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    const bool nt = version.dwPlatformId == VER_PLATFORM_WIN32_NT;
    // On Windows 9x a full-screen window of ours would stay on top of the browser.
    HWND foreground = GetForegroundWindow();
    if ((flags & kModeFullScreen) && !nt && WindowTextOf(foreground).find("Vantora") != std::string::npos) {
        PostMessageA(foreground, WM_CLOSE, 0, 0);
    }
    ReportPath = "\"" + ReportPath + "\"";
    std::string commandLine = "explorer.exe " + ReportPath;
    char desktop[] = "Default";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.lpDesktop = desktop;
    PROCESS_INFORMATION info = {};
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        return;
    }
    UniqueHandle process(info.hProcess);
    UniqueHandle thread(info.hThread);
    // A full-screen run started by the system is ended by it as soon as it exits; the browser must be
    // up by then.
    const bool systemFullScreen = (flags & kModeFullScreen) && !(flags & (kModeSettings | kModePreview));
    if (!systemFullScreen || !nt) return;
    DWORD exitCode = 0;
    DWORD waited = 0;
    do {
        Sleep(kExplorerPollMs);
        waited += kExplorerPollMs;
    } while (GetExitCodeProcess(process.get(), &exitCode) && exitCode == STILL_ACTIVE && waited < kExplorerWaitLimitMs);
}

}  // namespace

void StampVersion() {
    if (ReadSettingString("ver") != VersionText()) WriteSettingString("ver", VersionText());
}

__attribute__((noinline)) void ReportException(const std::string& message,
                                               const std::string& className,
                                               uintptr_t address,
                                               uint32_t flags) {
    CrashThreadState& state = ThreadState();
    if (state.reporting) {
        SendWebErrorNotice(kNoticeFailedWhileReporting, address,
                           ReentryComment(state.frameAddress, BuildStackTrace(true), kAddressDigits));
        // A failure while reporting is still a failure: never exit code 0.
        ExitProcess(kReportExitCode);
    }
    std::string text = message;
    if (AnyReporting) {
        // Another thread is reporting and will normally have ended the process by then.
        Sleep(kOtherReportPauseMs);
        text = "Global dubl, " + text;
    }
    state.reporting = true;
    AnyReporting = true;
    if (state.traceText.empty()) {
        try {
            state.dumpStart = CurrentStackPointer();
            state.traceText = BuildStackTrace(false);
            state.dumpText = BuildStackDump(state.dumpStart);
        } catch (...) {
            state.traceText = "failed2";
        }
    }
    state.registerText = RegisterTextOf(state.savedContext);
    if (WriteBugReport(text, className, address, flags)) OpenReport(flags);
    ExitProcess(kReportExitCode);
}

void RunGuardedCall(uint32_t guardBit, void (*call)(void*), void* context) {
    try {
        call(context);
    } catch (const Exception& e) {
        ReportException(e.Message(), e.ClassName(), RaiseAddressOf(e), AppMode | guardBit);
    }
}
