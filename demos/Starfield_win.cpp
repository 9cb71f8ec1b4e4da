// Vantora Starfield: stars rush out of the dark towards the viewer, their streaks lengthening as
// they near, while the whole field turns slowly about the line of sight.
#include <windows.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "app/Handles.h"
#include "app/Random.h"
#include "demos/DemoMath.h"
#include "demos/SaverFrame_win.h"

namespace {

constexpr double kSpeed = 0.2;  // depth per second; a star is born at depth 1
constexpr double kNearest = 0.02;
constexpr double kStreak = 0.05;         // how far behind its head a star's tail is drawn, in depth
constexpr double kTurnPerSecond = 0.04;  // radians
constexpr double kWideBelowDepth = 0.22;
constexpr double kInnerRadius = 0.03;  // stars on the axis would sit still in the middle
constexpr int kPixelsPerStar = 1300;
constexpr int kFewestStars = 40;
constexpr int kMostStars = 1500;
constexpr int kLevels = 24;
constexpr COLORREF kSky = RGB(2, 3, 12);

struct Tint {
    double r, g, b;
};
// Mostly white, some blue-white and some warm stars, as a clear night shows them.
constexpr Tint kTints[] = {{1.0, 1.0, 1.0}, {1.0, 1.0, 1.0}, {0.70, 0.80, 1.0}, {1.0, 0.85, 0.62}};
constexpr int kTintCount = sizeof kTints / sizeof kTints[0];

struct Star {
    double x = 0.0;
    double y = 0.0;
    double depth = 1.0;
    int tint = 0;
};

class Starfield : public SaverArt {
public:
    Starfield() {
        for (int t = 0; t < kTintCount; ++t) {
            for (int level = 0; level < kLevels; ++level) {
                const double v = (level + 1.0) / kLevels;
                const COLORREF colour =
                    RGB(static_cast<int>(255 * v * kTints[t].r), static_cast<int>(255 * v * kTints[t].g),
                        static_cast<int>(255 * v * kTints[t].b));
                for (int wide = 0; wide < 2; ++wide) {
                    pens_[t][level][wide].reset(CreatePen(PS_SOLID, wide ? 2 : 1, colour));
                    colours_[t][level] = colour;
                }
            }
        }
    }
    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
        stars_.resize(std::clamp(width * height / kPixelsPerStar, kFewestStars, kMostStars));
        for (Star& star : stars_)
            Respawn(star, kNearest + RandomReal() * (1.0 - kNearest));
    }

    void Draw(HDC hdc, double seconds) override {
        RECT all = {0, 0, width_, height_};
        SetDCBrushColor(hdc, kSky);
        FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
        angle_ += kTurnPerSecond * seconds;
        const double c = std::cos(angle_);
        const double s = std::sin(angle_);
        ScopedSelect brush(hdc, GetStockObject(DC_BRUSH));
        ScopedSelect pen(hdc, pens_[0][0][0].get());
        for (Star& star : stars_) {
            star.depth -= kSpeed * seconds;
            const double x = star.x * c - star.y * s;
            const double y = star.x * s + star.y * c;
            double headX = 0.0, headY = 0.0;
            if (star.depth <= kNearest || !ProjectStar(x, y, star.depth, width_, height_, headX, headY)) {
                Respawn(star, 1.0);
                continue;
            }
            double tailX = headX, tailY = headY;
            ProjectStar(x, y, std::min(star.depth + kStreak, 1.0), width_, height_, tailX, tailY);

            // A dim streak behind a bright head reads as one star in motion.
            const double nearness = 1.0 - star.depth;
            const double brightness = 0.3 + 0.7 * nearness * std::sqrt(nearness);
            const int level = std::clamp(static_cast<int>(brightness * kLevels), 0, kLevels - 1);
            const bool wide = star.depth < kWideBelowDepth;
            const int hx = static_cast<int>(headX), hy = static_cast<int>(headY);
            const int tx = static_cast<int>(tailX), ty = static_cast<int>(tailY);
            if (hx != tx || hy != ty) {
                SelectObject(hdc, pens_[star.tint][level * 3 / 5][wide ? 1 : 0].get());
                MoveToEx(hdc, tx, ty, nullptr);
                LineTo(hdc, hx, hy);
            }
            if (wide) {
                SetDCBrushColor(hdc, colours_[star.tint][level]);
                PatBlt(hdc, hx - 1, hy - 1, 2, 2, PATCOPY);
            } else {
                SetPixelV(hdc, hx, hy, colours_[star.tint][level]);
            }
        }
    }

private:
    static void Respawn(Star& star, double depth) {
        do {
            star.x = RandomReal() * 2.0 - 1.0;
            star.y = RandomReal() * 2.0 - 1.0;
        } while (star.x * star.x + star.y * star.y < kInnerRadius * kInnerRadius);
        star.depth = depth;
        star.tint = static_cast<int>(RandomReal() * kTintCount);
    }

    UniqueHPen pens_[kTintCount][kLevels][2];
    COLORREF colours_[kTintCount][kLevels] = {};
    std::vector<Star> stars_;
    int width_ = 0;
    int height_ = 0;
    double angle_ = 0.0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Starfield art;
    return RunSaver(instance, art);
}
