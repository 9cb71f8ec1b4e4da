// State shared by the failure hooks and the report writer. Captures wait per thread until a report
// needs them; the report always shows the thread that reports.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "diag/Fault.h"

// FrameAddress when the raise came with no caller list, and when reading it failed.
constexpr uintptr_t kNoCallerList = static_cast<uintptr_t>(-2);
constexpr uintptr_t kCallerListFailed = static_cast<uintptr_t>(-1);

struct RaiseRecord {
    const void* object = nullptr;  // the thrown object, most-derived address
    uintptr_t address = 0;
};

struct CrashThreadState {
    std::string traceText;  // multi-line trace, or "failed", "failed1", "failed2"
    std::string dumpText;
    uintptr_t dumpStart = 0;     // 0: the current stack position
    uintptr_t frameAddress = 0;  // caller of the function that raised last
    CONTEXT savedContext{};      // last hardware fault
    EXCEPTION_RECORD savedFault{};
    std::string registerText;
    bool reporting = false;

    // The fault the trampoline is about to raise, and whether the next raise is that one.
    FaultRecord pendingFault;
    bool faultRaisePending = false;
    uintptr_t faultCaller = 0;  // first caller listed by the fault filter's trace
    // The last few raises, so a guard finds the address of the very object it caught.
    static constexpr int kRaiseHistory = 4;
    RaiseRecord raises[kRaiseHistory];
    int nextRaise = 0;
};

CrashThreadState& ThreadState();

// Process-wide: some thread has entered ReportException.
extern std::atomic<bool> AnyReporting;

// The address the raise hook recorded for the thrown object at `object` (its most-derived
// address), else the thread's last raise.
uintptr_t RaiseAddressOfObject(const void* object);
