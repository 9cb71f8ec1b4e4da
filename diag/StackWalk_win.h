// Stack traces and raw stack dumps of the calling thread. The 32-bit build follows the chain of
// saved frame pointers; the 64-bit build cannot (GCC moves RBP inside large frames) and walks with
// the system unwinder instead. Both list the same thing: the call sites inside the program's code.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// Hex digits of an address in the report: 8 on the 32-bit build, 16 on the 64-bit one.
constexpr int kAddressDigits = static_cast<int>(sizeof(void*) * 2);

// The trace of the calling thread, starting with the call site in the caller of the function that
// asks, `skipFrames` frames further up. Multi-line: each address followed by CR LF; one line: at
// most 12 addresses joined by ",", ending in ",0" when cut. "exc" when the walk itself failed.
// `callers`, when given, receives the addresses listed.
std::string BuildStackTrace(bool oneLine, int skipFrames = 0, std::vector<uintptr_t>* callers = nullptr);
// The same from a saved fault context: the faulting function's caller comes first.
std::string BuildStackTraceFrom(const CONTEXT& context, bool oneLine, std::vector<uintptr_t>* callers = nullptr);

// The first 320 bytes of the stack from `start` (0: the caller's stack position) up to the stack
// base, 16 to a line.
std::string BuildStackDump(uintptr_t start);

// The module this code is linked into: the screensaver, or a program that links the diagnostics.
HMODULE OwnModule();
// The highest address of the calling thread's stack.
uintptr_t ThreadStackBase();

// The stack pointer of the function this is inlined into.
__attribute__((always_inline)) inline uintptr_t CurrentStackPointer() {
    uintptr_t sp;
#ifdef _WIN64
    asm volatile("mov %%rsp, %0" : "=r"(sp));
#else
    asm volatile("mov %%esp, %0" : "=r"(sp));
#endif
    return sp;
}
