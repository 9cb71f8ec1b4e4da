// Failure capture and reporting. Every failure that escapes a mode ends in ReportException, which
// writes BugReport.html, opens it in the browser and ends the process with exit code 217.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>

#include "app/Exception.h"

// Application-mode bits, ORed into the flags of a report.
enum : uint32_t {
    kModeSettings = 0x001,
    kModeFullScreen = 0x002,
    kModePreview = 0x004,
    kModeStartupGuard = 0x020,
    kModeUncaught = 0x100,
};

// The process-wide application-mode word.
extern uint32_t AppMode;

// Exit code of every process that ends in a report.
constexpr unsigned kReportExitCode = 217;

// Records the program version in the settings key when it differs from the stored one.
void StampVersion();
// Installs the last-chance handler, the fault filter and the raise hook; before this, throws are
// not captured and faults are not turned into exceptions.
void InstallExceptionHooks();
// Reports the failure and ends the process with exit code 217, also when it fails while reporting.
[[noreturn]] void ReportException(const std::string& message,
                                  const std::string& className,
                                  uintptr_t address,
                                  uint32_t flags);

// The code address at which `e` was raised, as the raise hook recorded it.
uintptr_t RaiseAddressOf(const Exception& e);

// Calls `call(context)`; a failure of the program's exception type is reported with
// `AppMode | guardBit`. Out of line, so the call is opaque and a fault converted inside it meets
// this handler.
void RunGuardedCall(uint32_t guardBit, void (*call)(void*), void* context);

// Runs `mode` under the guard; other exception types pass on to the last-chance handler.
template <typename F>
void RunGuarded(uint32_t guardBit, F&& mode) {
    using Mode = std::remove_reference_t<F>;
    RunGuardedCall(
        guardBit, [](void* context) { (*static_cast<Mode*>(context))(); },
        const_cast<void*>(static_cast<const void*>(std::addressof(mode))));
}
