#include "app/Random.h"

#include <cmath>
#include <random>

namespace {
std::mt19937& Generator() {
    static std::mt19937 generator;
    return generator;
}
}  // namespace

void SeedRandom(uint32_t seed) { Generator().seed(seed); }

double RandomReal() { return static_cast<double>(Generator()()) * (1.0 / 4294967296.0); }

int32_t RandomRounded(double scale) { return static_cast<int32_t>(std::nearbyint(RandomReal() * scale)); }
