#include "ui/Dpi.h"

#include <cstdint>

namespace {

// numerator / denominator (denominator > 0) rounded half to even. Floor division keeps the
// remainder non-negative, so one comparison decides for both signs.
int RoundedQuotient(int64_t numerator, int64_t denominator) {
    int64_t quotient = numerator / denominator;
    int64_t remainder = numerator % denominator;
    if (remainder < 0) {
        quotient -= 1;
        remainder += denominator;
    }
    const int64_t twice = 2 * remainder;
    if (twice > denominator || (twice == denominator && (quotient & 1) != 0)) quotient += 1;
    return static_cast<int>(quotient);
}

}  // namespace

int ScaleDpi(int value, int dpi) { return dpi > 0 ? RoundedQuotient(int64_t{value} * dpi, 96) : value; }

int UnscaleDpi(int value, int dpi) { return dpi > 0 ? RoundedQuotient(int64_t{value} * 96, dpi) : value; }
