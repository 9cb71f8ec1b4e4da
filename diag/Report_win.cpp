#include "diag/Report_win.h"

#include <windows.h>

#include <exception>

#include "diag/Version.h"
#include "settings/SettingsKey_win.h"

uint32_t AppMode = 0;

namespace {
constexpr UINT kReportExitCode = 217;
std::string stampedVersion;

[[noreturn]] void OnTerminate() { ExitProcess(kReportExitCode); }
}  // namespace

const std::string& StampedVersion() { return stampedVersion; }

void StampVersion() {
    stampedVersion = ReadSettingString("ver");
    if (stampedVersion != VersionText()) WriteSettingString("ver", VersionText());
}

void InstallExceptionHooks() { std::set_terminate(OnTerminate); }

void ReportException(const std::string&, const std::string&, uintptr_t, uint32_t) { ExitProcess(kReportExitCode); }
