// Drawing math of the demo screensavers: projection, bouncing, colours. No Windows
// headers: built and tested natively.
#pragma once

#include <cstdint>

struct Rgb {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
};

// Fully saturated colour at `hue` turns round the colour circle (any real; wraps), scaled by
// `brightness` in [0, 1].
Rgb HueColour(double hue, double brightness);

// Perspective projection of a star at (x, y, depth) onto a width × height screen whose centre is
// the vanishing point; x and y in [-1, 1] reach the screen edge at depth 1 along the longer side.
// False when the star is at or behind the eye, or lands outside the screen.
bool ProjectStar(double x, double y, double depth, int width, int height, double& screenX, double& screenY);

// One step of a point moving inside [0, limit]: it reflects off either edge, and the velocity
// turns to point back inside. Steps longer than the range still end inside it.
void BounceStep(double& position, double& velocity, double seconds, double limit);

// 256 colours (0x00RRGGBB) going smoothly round a cycle of golds, deep and sky blues and pinks, turned by
// `phase` turns; entry 255 flows back into entry 0 without a seam.
void PlasmaPalette(double phase, uint32_t palette[256]);
