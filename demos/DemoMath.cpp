#include "demos/DemoMath.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586;

uint8_t ToByte(double unit) { return static_cast<uint8_t>(std::lround(std::clamp(unit, 0.0, 1.0) * 255.0)); }

double Wrap(double turns) { return turns - std::floor(turns); }

}  // namespace

Rgb HueColour(double hue, double brightness) {
    // Piecewise-linear hexcone: each channel is a triangle wave a third of a turn out of phase.
    const double h = Wrap(hue) * 6.0;
    auto channel = [h](double centre) {
        double d = std::fabs(h - centre);
        d = std::min(d, 6.0 - d);
        return std::clamp(2.0 - d, 0.0, 1.0);
    };
    return {ToByte(channel(0.0) * brightness), ToByte(channel(2.0) * brightness), ToByte(channel(4.0) * brightness)};
}

bool ProjectStar(double x, double y, double depth, int width, int height, double& screenX, double& screenY) {
    if (depth <= 0.0 || width <= 0 || height <= 0) return false;
    const double scale = 0.5 * std::max(width, height);
    screenX = 0.5 * width + x / depth * scale;
    screenY = 0.5 * height + y / depth * scale;
    return screenX >= 0.0 && screenX < width && screenY >= 0.0 && screenY < height;
}

void BounceStep(double& position, double& velocity, double seconds, double limit) {
    if (limit <= 0.0) {
        position = 0.0;
        return;
    }
    // Unfold the reflections: a path over [0, 2·limit) folds back onto [0, limit].
    const double period = 2.0 * limit;
    double p = std::fmod(position + velocity * seconds, period);
    if (p < 0.0) p += period;
    const bool returning = p > limit;
    position = returning ? period - p : p;
    if (returning) velocity = -velocity;
}

void PlasmaPalette(double phase, uint32_t palette[256]) {
    for (int i = 0; i < 256; ++i) {
        const double t = Wrap(i / 256.0 + phase);
        // Cosine gradients with whole-number frequencies stay continuous across the wrap.
        const double r = 0.5 + 0.5 * std::cos(kTwoPi * t);
        const double g = 0.35 + 0.3 * std::cos(kTwoPi * (2.0 * t + 0.75));
        const double b = 0.5 + 0.5 * std::cos(kTwoPi * (t + 0.35));
        palette[i] = (uint32_t{ToByte(r)} << 16) | (uint32_t{ToByte(g)} << 8) | ToByte(b);
    }
}
