// Failure capture and reporting. Every failure that escapes a mode ends in ReportException.
#pragma once

#include <cstdint>
#include <string>

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

// The version stamp stored as "ver" before this run, as read at start-up.
const std::string& StampedVersion();
// Records the program version in the settings key when it differs from the stored one.
void StampVersion();
// Installs the last-chance handler and the fault filter.
void InstallExceptionHooks();
// Reports the failure and ends the process with exit code 217.
[[noreturn]] void ReportException(const std::string& message, const std::string& className, uintptr_t address,
                                  uint32_t flags);

// Runs `mode`; a failure of the program's exception type is reported with `AppMode | guardBit`.
template <typename F>
void RunGuarded(uint32_t guardBit, F&& mode);

#include "app/Exception.h"

template <typename F>
void RunGuarded(uint32_t guardBit, F&& mode) {
    try {
        mode();
    } catch (const Exception& e) {
        ReportException(e.Message(), e.ClassName(), 0, AppMode | guardBit);
    }
}
