// The process-wide random generator: MT19937 seeded once per process, its 32-bit output scaled by
// 2^-32 to a real in [0, 1).
#pragma once

#include <cstdint>

void SeedRandom(uint32_t seed);
double RandomReal();
// round(r * scale) with ties to even, for a fresh draw r.
int32_t RandomRounded(double scale);
