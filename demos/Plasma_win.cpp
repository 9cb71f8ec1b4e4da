// Vantora Plasma: four interfering waves, one of them rippling out from a wandering centre,
// coloured through a slowly turning palette. The field is computed at a fraction of the screen's
// resolution and stretched up, which keeps it cheap and softens it.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "app/Handles.h"
#include "demos/DemoMath.h"
#include "demos/SaverFrame_win.h"

namespace {

constexpr int kSineSteps = 1024;  // a power of two: phases wrap with a mask
constexpr int kSineMask = kSineSteps - 1;
constexpr int kMostCells = 360;  // cells along the longer side of the small field
constexpr double kTwoPi = 6.283185307179586;
constexpr double kPaletteTurnsPerSecond = 0.03;

// Wave frequencies in waves across the field, and their speeds in turns per second.
constexpr double kAcross = 1.8, kAcrossSpeed = 0.13;
constexpr double kDown = 1.5, kDownSpeed = -0.17;
constexpr double kSlant = 1.3, kSlantSpeed = 0.07;
constexpr double kRings = 3.2, kRingSpeed = -0.21;

// Whole sine steps, wrapped into the table; negative turns wrap too.
int Phase(double turns) {
    return static_cast<int>(static_cast<unsigned long>(std::lround(turns * kSineSteps)) & kSineMask);
}

class Plasma : public SaverArt {
public:
    Plasma() {
        for (int i = 0; i < kSineSteps; ++i) {
            // 0..63 per wave: four waves sum to 0..252, an index into the palette.
            sine_[i] = static_cast<uint8_t>(std::lround(31.5 + 31.5 * std::sin(kTwoPi * i / kSineSteps)));
        }
    }

    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
        const int divisor = std::max(1, (std::max(width, height) + kMostCells - 1) / kMostCells);
        cellsX_ = std::max(1, width / divisor);
        cellsY_ = std::max(1, height / divisor);

        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = cellsX_;
        bi.bmiHeader.biHeight = -cellsY_;  // top-down rows
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        bi.bmiHeader.biCompression = BI_RGB;
        if (oldBitmap_) SelectObject(fieldDc_.get(), oldBitmap_);
        oldBitmap_ = nullptr;
        field_.reset(CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, reinterpret_cast<void**>(&pixels_), nullptr, 0));
        if (!fieldDc_) fieldDc_.reset(CreateCompatibleDC(nullptr));
        if (!field_ || !fieldDc_) {
            pixels_ = nullptr;
            return;
        }
        oldBitmap_ = SelectObject(fieldDc_.get(), field_.get());

        // The ring wave needs each cell's distance from a centre that moves; a table twice the
        // field's size, read through a moving window, serves every centre.
        const int tableX = 2 * cellsX_, tableY = 2 * cellsY_;
        const double wavesPerCell = kRings / std::max(cellsX_, cellsY_);
        rings_.resize(static_cast<size_t>(tableX) * tableY);
        for (int y = 0; y < tableY; ++y) {
            for (int x = 0; x < tableX; ++x) {
                const double d = std::hypot(x - cellsX_, y - cellsY_);
                rings_[static_cast<size_t>(y) * tableX + x] = static_cast<uint16_t>(Phase(d * wavesPerCell));
            }
        }
        across_.resize(cellsX_);
        down_.resize(cellsY_);
        slant_.resize(cellsX_ + cellsY_);
    }

    ~Plasma() override {
        if (oldBitmap_) SelectObject(fieldDc_.get(), oldBitmap_);
    }

    void Draw(HDC hdc, double seconds) override {
        time_ += seconds;
        if (!pixels_) return;
        uint32_t palette[256];
        PlasmaPalette(time_ * kPaletteTurnsPerSecond, palette);

        for (int x = 0; x < cellsX_; ++x)
            across_[x] = Wave(kAcross * x / cellsX_ + kAcrossSpeed * time_);
        for (int y = 0; y < cellsY_; ++y)
            down_[y] = Wave(kDown * y / cellsY_ + kDownSpeed * time_);
        const int diagonal = cellsX_ + cellsY_;
        for (int i = 0; i < diagonal; ++i)
            slant_[i] = Wave(kSlant * i / diagonal + kSlantSpeed * time_);

        // The ripple centre traces a slow Lissajous figure inside the field.
        const int centreX = static_cast<int>(cellsX_ * (0.5 + 0.35 * std::sin(time_ * 0.23)));
        const int centreY = static_cast<int>(cellsY_ * (0.5 + 0.35 * std::sin(time_ * 0.31 + 1.0)));
        const int ringPhase = Phase(kRingSpeed * time_);
        const int tableX = 2 * cellsX_;

        for (int y = 0; y < cellsY_; ++y) {
            uint32_t* row = pixels_ + static_cast<size_t>(y) * cellsX_;
            const uint16_t* ring = &rings_[static_cast<size_t>(y - centreY + cellsY_) * tableX + cellsX_ - centreX];
            const int rowBase = down_[y];
            for (int x = 0; x < cellsX_; ++x) {
                const int value = rowBase + across_[x] + slant_[x + y] + sine_[(ring[x] + ringPhase) & kSineMask];
                row[x] = palette[value];
            }
        }
        // Wine and Windows both may still hold GDI work on the section; finish it before the blit reads it.
        GdiFlush();
        // Plain pixel repetition: HALFTONE filtering looks barely softer at three-fold and costs ten times the CPU.
        SetStretchBltMode(hdc, COLORONCOLOR);
        StretchBlt(hdc, 0, 0, width_, height_, fieldDc_.get(), 0, 0, cellsX_, cellsY_, SRCCOPY);
    }

private:
    int Wave(double turns) const { return sine_[Phase(turns)]; }

    uint8_t sine_[kSineSteps] = {};
    UniqueHdc fieldDc_;
    UniqueHBitmap field_;
    HGDIOBJ oldBitmap_ = nullptr;
    uint32_t* pixels_ = nullptr;
    std::vector<uint16_t> rings_;
    std::vector<int> across_, down_, slant_;
    int width_ = 0, height_ = 0;
    int cellsX_ = 1, cellsY_ = 1;
    double time_ = 0.0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Plasma art;
    return RunSaver(instance, art);
}
