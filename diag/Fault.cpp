#include "diag/Fault.h"

#include "diag/StackWalk.h"

bool IsConvertibleFault(uint32_t code) {
    switch (code) {
        case kAccessViolation:
        case 0x80000002:  // datatype misalignment
        case 0xC0000006:  // in-page error
        case 0xC000001D:  // illegal instruction
        case 0xC000008C:  // array bounds exceeded
        case 0xC000008D:  // the floating-point faults, 0xC000008D to 0xC0000093
        case 0xC000008E:
        case 0xC000008F:
        case 0xC0000090:
        case 0xC0000091:
        case 0xC0000092:
        case 0xC0000093:
        case kIntegerDivideByZero:
        case 0xC0000095:  // integer overflow
        case 0xC0000096:  // privileged instruction
            return true;
        default:
            return false;
    }
}

void ThrowFaultException(const FaultRecord& fault, int digits) {
    if (fault.code == kAccessViolation) {
        std::string message = "Access violation at address " + HexDigits(fault.address, digits);
        if (fault.parameterCount >= 2) {
            const char* kind = fault.parameters[0] == 0   ? ". Read of address "
                               : fault.parameters[0] == 8 ? ". Execution of address "
                                                          : ". Write of address ";
            message += kind + HexDigits(fault.parameters[1], digits);
        }
        throw EAccessViolation(message);
    }
    if (fault.code == kIntegerDivideByZero) throw EDivByZero("Division by zero");
    throw EExternalException("External exception " + HexDigits(fault.code, 8) + " at address " +
                             HexDigits(fault.address, digits));
}
