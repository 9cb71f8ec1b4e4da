// The three process-wide failure hooks: the raise hook (a link-time wrap of the C++ run-time's throw
// entry), the unhandled-exception filter that turns hardware faults into C++ exceptions, and the
// terminate handler as the last chance for anything no guard caught.
#include <windows.h>

#include <cxxabi.h>

#include <cstdlib>
#include <exception>
#include <memory>
#include <vector>

#include "diag/CrashState_win.h"
#include "diag/ReportPage.h"
#include "diag/Report_win.h"
#include "diag/StackWalk_win.h"

namespace {

constexpr DWORD kBusyPauseMs = 100;
constexpr DWORD kStackOverflow = 0xC00000FD;

std::atomic<bool> hooksInstalled{false};
std::atomic<bool> filterBusy{false};
std::atomic<bool> raiseHookBusy{false};
std::atomic<bool> lastChanceBusy{false};
// Where the exception made from the last hardware fault is raised: converted faults are recorded
// as raised at the faulting instruction itself.
std::atomic<uintptr_t> expectedRaiseAddress{0};
LPTOP_LEVEL_EXCEPTION_FILTER previousFilter = nullptr;

thread_local CrashThreadState threadState;

void RememberRaise(CrashThreadState& state, const void* object, uintptr_t address) {
    state.raises[state.nextRaise] = {object, address};
    state.nextRaise = (state.nextRaise + 1) % CrashThreadState::kRaiseHistory;
}

// The capture for one raise. The trace starts at the call site of the throw: `skip` leaves out
// this function's own frame.
__attribute__((noinline)) void OnRaise(const void* object, uintptr_t returnAddress) {
    CrashThreadState& state = ThreadState();
    const bool fromFault = state.faultRaisePending;
    state.faultRaisePending = false;
    const uintptr_t address = fromFault ? static_cast<uintptr_t>(state.pendingFault.address) : returnAddress;
    RememberRaise(state, object, address);

    if (!hooksInstalled) return;
    if (filterBusy || raiseHookBusy) {
        Sleep(kBusyPauseMs);
        return;
    }
    raiseHookBusy = true;
    if (!state.reporting) {
        try {
            if (address == expectedRaiseAddress && !state.traceText.empty()) {
                // The fault filter already captured this very fault at the faulting instruction.
                state.frameAddress = state.faultCaller != 0 ? state.faultCaller : kNoCallerList;
            } else {
                std::vector<uintptr_t> callers;
                state.traceText = "\r\n" + BuildStackTrace(false, 1, &callers);
                state.dumpText = BuildStackDump(state.dumpStart);
                // callers[0] is the throw itself; the run-time's caller list starts at its caller.
                state.frameAddress = callers.size() > 1 ? callers[1] : kNoCallerList;
            }
        } catch (...) {
            state.traceText = "failed1";
            state.frameAddress = kCallerListFailed;
        }
    }
    raiseHookBusy = false;
}

}  // namespace

// Named for the assembly below; only the trampoline calls it.
extern "C" [[noreturn]] __attribute__((used)) void RaisePendingFault() asm("vantora_raise_pending_fault");
extern "C" void FaultTrampoline() asm("vantora_fault_trampoline");

void RaisePendingFault() {
    CrashThreadState& state = ThreadState();
    const FaultRecord fault = state.pendingFault;
    state.faultRaisePending = true;
    ThrowFaultException(fault, kAddressDigits);
}

// The filter makes the faulting thread continue here, as if the faulting instruction had called
// it. The unwind data describes that fake call, so the C++ unwinder walks from the throw in
// RaisePendingFault back into the faulting function and on to the guards.
#ifdef _WIN64
asm(R"(
    .text
    .globl vantora_fault_trampoline
    .def vantora_fault_trampoline; .scl 2; .type 32; .endef
    .seh_proc vantora_fault_trampoline
vantora_fault_trampoline:
    pushq %rbp
    .seh_pushreg %rbp
    movq %rsp, %rbp
    .seh_setframe %rbp, 0
    .seh_endprologue
    andq $-16, %rsp
    subq $32, %rsp
    call vantora_raise_pending_fault
    nop
    .seh_endproc
)");
#else
// A signal frame: the return address pushed by the filter is the faulting instruction itself, not
// the address after a call, and the unwinder must not step back from it.
asm(R"(
    .text
    .globl vantora_fault_trampoline
    .def vantora_fault_trampoline; .scl 2; .type 32; .endef
vantora_fault_trampoline:
    .cfi_startproc
    .cfi_signal_frame
    pushl %ebp
    .cfi_def_cfa_offset 8
    .cfi_offset %ebp, -8
    movl %esp, %ebp
    .cfi_def_cfa_register %ebp
    andl $-16, %esp
    call vantora_raise_pending_fault
    nop
    .cfi_endproc
)");
#endif

namespace {

void RedirectToTrampoline(CONTEXT& context) {
#ifdef _WIN64
    // SEH unwinding looks up the caller at its return address minus one: that is the faulting
    // instruction when the pushed address is one past its first byte.
    context.Rsp -= sizeof(DWORD64);
    *reinterpret_cast<DWORD64*>(context.Rsp) = context.Rip + 1;
    context.Rip = reinterpret_cast<DWORD64>(&FaultTrampoline);
#else
    context.Esp -= sizeof(DWORD);
    *reinterpret_cast<DWORD*>(context.Esp) = context.Eip;
    context.Eip = reinterpret_cast<DWORD>(&FaultTrampoline);
#endif
}

uintptr_t StackPointerOf(const CONTEXT& context) {
#ifdef _WIN64
    return context.Rsp;
#else
    return context.Esp;
#endif
}

FaultRecord FaultRecordOf(const EXCEPTION_RECORD& record) {
    FaultRecord fault;
    fault.code = record.ExceptionCode;
    fault.address = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
    fault.parameterCount = record.NumberParameters;
    for (DWORD i = 0; i < 2 && i < record.NumberParameters; ++i)
        fault.parameters[i] = record.ExceptionInformation[i];
    return fault;
}

LONG WINAPI FaultFilter(EXCEPTION_POINTERS* pointers) {
    if (filterBusy) {
        Sleep(kBusyPauseMs);
        return EXCEPTION_CONTINUE_SEARCH;
    }
    filterBusy = true;
    const EXCEPTION_RECORD& record = *pointers->ExceptionRecord;
    CONTEXT& context = *pointers->ContextRecord;
    CrashThreadState& state = ThreadState();
    if (!state.reporting && record.ExceptionCode != kStackOverflow) {
        try {
            state.savedFault = record;
            state.savedContext = context;
            expectedRaiseAddress = reinterpret_cast<uintptr_t>(record.ExceptionAddress);
            state.dumpStart = StackPointerOf(context);
            std::vector<uintptr_t> callers;
            state.traceText = BuildStackTraceFrom(context, false, &callers);
            state.faultCaller = callers.empty() ? 0 : callers.front();
            state.dumpText = BuildStackDump(state.dumpStart);
        } catch (...) {
            state.traceText = "failed";
        }
    }
    LONG result;
    const bool continuable = (record.ExceptionFlags & EXCEPTION_NONCONTINUABLE) == 0;
    if (continuable && IsConvertibleFault(record.ExceptionCode)) {
        state.pendingFault = FaultRecordOf(record);
        RedirectToTrampoline(context);
        result = EXCEPTION_CONTINUE_EXECUTION;
    } else {
        result = previousFilter ? previousFilter(pointers) : EXCEPTION_EXECUTE_HANDLER;
    }
    filterBusy = false;
    state.frameAddress = 0;
    return result;
}

std::string DemangledName(const std::type_info* type) {
    if (!type) return "(unknown)";
    int status = 0;
    std::unique_ptr<char, decltype(&std::free)> name(abi::__cxa_demangle(type->name(), nullptr, nullptr, &status),
                                                     &std::free);
    return status == 0 && name ? name.get() : type->name();
}

uintptr_t LastRaiseAddress() {
    const CrashThreadState& state = ThreadState();
    const int last = (state.nextRaise + CrashThreadState::kRaiseHistory - 1) % CrashThreadState::kRaiseHistory;
    return state.raises[last].address;
}

void ReportUncaught(uint32_t flags) {
    const uintptr_t address = LastRaiseAddress();
    if (ThreadState().reporting) ReportException("unhandled", "ERR", address, flags);
    const std::exception_ptr current = std::current_exception();
    if (!current) ReportException("terminate called without an active exception", "", address, flags);
    try {
        std::rethrow_exception(current);
    } catch (const Exception& e) {
        ReportException(e.Message(), e.ClassName(), RaiseAddressOf(e), flags);
    } catch (...) {
        ReportException("", ForeignExceptionClassText(DemangledName(abi::__cxa_current_exception_type())), address,
                        flags);
    }
}

void LastChance() {
    if (lastChanceBusy.exchange(true)) ExitProcess(kReportExitCode);
    const uint32_t flags = AppMode | kModeUncaught;
    try {
        ReportUncaught(flags);
    } catch (...) {
        // The report itself failed; this thread is marked as reporting by now, so this takes the
        // short road of a failure while reporting.
        try {
            ReportException("unhandled", "ERR", LastRaiseAddress(), flags);
        } catch (...) {
        }
    }
    ExitProcess(kReportExitCode);
}

}  // namespace

extern "C" [[noreturn]] void __real___cxa_throw(void* object, void* type, void* destructor);

// Every throw of the program and of the statically linked C++ library comes here first
// (-Wl,--wrap=__cxa_throw). `throw;` and std::rethrow_exception do not.
extern "C" [[noreturn]] void __wrap___cxa_throw(void* object, void* type, void* destructor) {
    OnRaise(object, reinterpret_cast<uintptr_t>(__builtin_return_address(0)));
    __real___cxa_throw(object, type, destructor);
}

CrashThreadState& ThreadState() { return threadState; }

uintptr_t RaiseAddressOfObject(const void* object) {
    const CrashThreadState& state = ThreadState();
    for (const RaiseRecord& raise : state.raises) {
        if (raise.object == object && object != nullptr) return raise.address;
    }
    return LastRaiseAddress();
}

uintptr_t RaiseAddressOf(const Exception& e) { return RaiseAddressOfObject(dynamic_cast<const void*>(&e)); }

void InstallExceptionHooks() {
    std::set_terminate(LastChance);
    previousFilter = SetUnhandledExceptionFilter(FaultFilter);
    hooksInstalled = true;
}
