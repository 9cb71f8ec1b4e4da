// Vantora Mystify Lines: two four-cornered outlines drift and bounce round the screen, each
// dragging a fading trail of its earlier shapes while its colour wanders round the hue circle.
#include <windows.h>

#include <algorithm>
#include <array>

#include "app/Handles.h"
#include "app/Random.h"
#include "demos/DemoMath.h"
#include "demos/SaverFrame_win.h"

namespace {

constexpr int kShapes = 2;
constexpr int kCorners = 4;
constexpr int kTrail = 16;
// A shape is remembered every few frames, so the trail fans out instead of smearing.
constexpr double kSnapshotSeconds = 0.05;
constexpr double kSlowest = 0.10;  // corner speed per axis, in screen heights per second
constexpr double kFastest = 0.32;

using Outline = std::array<POINT, kCorners + 1>;  // closed: the first corner repeated

struct Shape {
    double x[kCorners] = {};
    double y[kCorners] = {};
    double vx[kCorners] = {};
    double vy[kCorners] = {};
    double hue = 0.0;
    double hueSpeed = 0.0;
    std::array<Outline, kTrail> trail{};
    int newest = 0;
    int stored = 0;
};

double RandomSpeed(double scale) {
    const double speed = (kSlowest + RandomReal() * (kFastest - kSlowest)) * scale;
    return RandomReal() < 0.5 ? -speed : speed;
}

class Lines : public SaverArt {
public:
    void Resize(int width, int height) override {
        width_ = width;
        height_ = height;
        const double scale = std::min(width, height);
        for (int i = 0; i < kShapes; ++i) {
            Shape& shape = shapes_[i];
            shape = Shape{};
            for (int k = 0; k < kCorners; ++k) {
                shape.x[k] = RandomReal() * (width - 1);
                shape.y[k] = RandomReal() * (height - 1);
                shape.vx[k] = RandomSpeed(scale);
                shape.vy[k] = RandomSpeed(scale);
            }
            shape.hue = RandomReal() + 0.5 * i;
            shape.hueSpeed = 0.02 + 0.02 * RandomReal();
        }
        penWidth_ = std::max(1, static_cast<int>(scale) / 500);
        sinceSnapshot_ = kSnapshotSeconds;
    }

    void Draw(HDC hdc, double seconds) override {
        RECT all = {0, 0, width_, height_};
        FillRect(hdc, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
        sinceSnapshot_ += seconds;
        const bool snapshot = sinceSnapshot_ >= kSnapshotSeconds;
        if (snapshot) sinceSnapshot_ = 0.0;
        for (Shape& shape : shapes_) {
            Move(shape, seconds);
            if (snapshot) Remember(shape);
            DrawTrail(hdc, shape);
        }
    }

private:
    void Move(Shape& shape, double seconds) const {
        for (int k = 0; k < kCorners; ++k) {
            BounceStep(shape.x[k], shape.vx[k], seconds, width_ - 1);
            BounceStep(shape.y[k], shape.vy[k], seconds, height_ - 1);
        }
        shape.hue += shape.hueSpeed * seconds;
    }

    static Outline OutlineOf(const Shape& shape) {
        Outline outline{};
        for (int k = 0; k < kCorners; ++k) {
            outline[k] = {static_cast<LONG>(shape.x[k]), static_cast<LONG>(shape.y[k])};
        }
        outline[kCorners] = outline[0];
        return outline;
    }

    static void Remember(Shape& shape) {
        shape.newest = (shape.newest + 1) % kTrail;
        shape.trail[shape.newest] = OutlineOf(shape);
        shape.stored = std::min(shape.stored + 1, kTrail);
    }

    void DrawOutline(HDC hdc, const Outline& outline, double hue, double brightness) const {
        const Rgb c = HueColour(hue, brightness);
        UniqueHPen pen(CreatePen(PS_SOLID, penWidth_, RGB(c.r, c.g, c.b)));
        ScopedSelect select(hdc, pen.get());
        Polyline(hdc, outline.data(), static_cast<int>(outline.size()));
    }

    // Oldest first, so the moving outline lies on top of its fading echoes.
    void DrawTrail(HDC hdc, const Shape& shape) const {
        for (int age = shape.stored; age >= 1; --age) {
            const double fade = 1.0 - static_cast<double>(age) / (kTrail + 1);
            DrawOutline(hdc, shape.trail[(shape.newest - age + 1 + kTrail) % kTrail], shape.hue - age * 0.006,
                        fade * fade);
        }
        DrawOutline(hdc, OutlineOf(shape), shape.hue, 1.0);
    }

    std::array<Shape, kShapes> shapes_{};
    int width_ = 0;
    int height_ = 0;
    int penWidth_ = 1;
    double sinceSnapshot_ = 0.0;
};

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    Lines art;
    return RunSaver(instance, art);
}
