// The exceptions that hardware faults turn into, so that a fault reaches the same guards and the
// same report as any other failure of the program.
#pragma once

#include <cstdint>
#include <string>

#include "app/Exception.h"

class EAccessViolation : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EAccessViolation"; }
};

class EDivByZero : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EDivByZero"; }
};

// Any other fault, named by its exception code.
class EExternalException : public Exception {
public:
    using Exception::Exception;
    const char* ClassName() const noexcept override { return "EExternalException"; }
};

// What the system said about a fault: its code, where it happened and, for access violations, the
// kind of access (0 read, 1 write, 8 execute) and the address touched.
struct FaultRecord {
    uint32_t code = 0;
    uint64_t address = 0;
    uint32_t parameterCount = 0;
    uint64_t parameters[2] = {};
};

constexpr uint32_t kAccessViolation = 0xC0000005;
constexpr uint32_t kIntegerDivideByZero = 0xC0000094;

// Whether a fault with `code` is turned into an exception. Stack overflows are not (no stack is
// left to unwind on), nor are debugger events or the run-time's own exceptions.
bool IsConvertibleFault(uint32_t code);

// Throws the exception made from `fault`, with addresses of `digits` hex digits in its message.
[[noreturn]] void ThrowFaultException(const FaultRecord& fault, int digits);
