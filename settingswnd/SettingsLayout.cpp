#include "settingswnd/SettingsLayout.h"

#include "diag/Version.h"

std::string VersionLabelText() { return "Version : " + VersionText(); }

PreviewFrames PreviewFramesAround(const PixelRect& image, int nearGap, int farGap) {
    // Lines are drawn on the edge coordinates themselves: the sunken ring is the pixel row just
    // outside the image on each side, and `right`/`bottom` are already one past the image.
    const PixelRect sunken{image.left - 1, image.top - 1, image.right, image.bottom};
    const PixelRect raised{sunken.left - nearGap, sunken.top - nearGap, sunken.right + farGap, sunken.bottom + farGap};
    return {raised, sunken};
}
