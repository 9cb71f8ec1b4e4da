#include "demos/DemoMath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

TEST(DemoMath, StarsProjectFromTheCentreOutwards) {
    double x = 0.0, y = 0.0;
    ASSERT_TRUE(ProjectStar(0.0, 0.0, 0.5, 800, 600, x, y));
    EXPECT_DOUBLE_EQ(x, 400.0);
    EXPECT_DOUBLE_EQ(y, 300.0);

    // x = ±1 at depth 1 reaches the edges of the longer side: the right edge itself is outside.
    EXPECT_FALSE(ProjectStar(1.0, 0.0, 1.0, 800, 600, x, y));
    ASSERT_TRUE(ProjectStar(-1.0, 0.0, 1.0, 800, 600, x, y));
    EXPECT_DOUBLE_EQ(x, 0.0);

    // The same star drawn nearer lies further out; past the edge it is off screen.
    double far = 0.0, nearer = 0.0;
    ASSERT_TRUE(ProjectStar(0.2, 0.1, 0.8, 800, 600, far, y));
    ASSERT_TRUE(ProjectStar(0.2, 0.1, 0.4, 800, 600, nearer, y));
    EXPECT_GT(nearer, far);
    EXPECT_FALSE(ProjectStar(0.2, 0.1, 0.1, 800, 600, x, y));

    // At or behind the eye, and on an empty screen, nothing is drawn.
    EXPECT_FALSE(ProjectStar(0.1, 0.1, 0.0, 800, 600, x, y));
    EXPECT_FALSE(ProjectStar(0.1, 0.1, -0.5, 800, 600, x, y));
    EXPECT_FALSE(ProjectStar(0.0, 0.0, 0.5, 0, 0, x, y));
}

TEST(DemoMath, BouncingPointsReflectAndStayInside) {
    double p = 9.0, v = 2.0;
    BounceStep(p, v, 1.0, 10.0);  // 11 reflects to 9, now heading back
    EXPECT_DOUBLE_EQ(p, 9.0);
    EXPECT_DOUBLE_EQ(v, -2.0);

    p = 1.0, v = -3.0;
    BounceStep(p, v, 1.0, 10.0);
    EXPECT_DOUBLE_EQ(p, 2.0);
    EXPECT_DOUBLE_EQ(v, 3.0);

    p = 4.0, v = 1.0;
    BounceStep(p, v, 2.0, 10.0);  // no edge reached: a plain step
    EXPECT_DOUBLE_EQ(p, 6.0);
    EXPECT_DOUBLE_EQ(v, 1.0);

    // Long steps (a slow frame on a small preview) and a collapsed range still end inside.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> speed(-500.0, 500.0), seconds(0.0, 0.5);
    p = 3.0;
    v = 240.0;
    for (int i = 0; i < 10000; ++i) {
        if (i % 100 == 0) v = speed(random);
        const double magnitude = std::abs(v);
        BounceStep(p, v, seconds(random), 17.0);
        ASSERT_GE(p, 0.0);
        ASSERT_LE(p, 17.0);
        ASSERT_DOUBLE_EQ(std::abs(v), magnitude);
    }
    BounceStep(p, v, 0.1, 0.0);
    EXPECT_EQ(p, 0.0);
}

TEST(DemoMath, HueColoursGoRoundTheCircle) {
    auto same = [](Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; };
    const Rgb red = HueColour(0.0, 1.0);
    EXPECT_TRUE(same(red, Rgb{255, 0, 0}));
    EXPECT_TRUE(same(HueColour(1.0 / 3.0, 1.0), Rgb{0, 255, 0}));
    EXPECT_TRUE(same(HueColour(2.0 / 3.0, 1.0), Rgb{0, 0, 255}));
    EXPECT_TRUE(same(HueColour(1.0 / 6.0, 1.0), Rgb{255, 255, 0}));
    EXPECT_TRUE(same(HueColour(1.0, 1.0), red));
    EXPECT_TRUE(same(HueColour(-1.0 / 3.0, 1.0), HueColour(2.0 / 3.0, 1.0)));
    EXPECT_TRUE(same(HueColour(7.25, 1.0), HueColour(0.25, 1.0)));
    EXPECT_TRUE(same(HueColour(0.4, 0.0), Rgb{0, 0, 0}));
    EXPECT_TRUE(same(HueColour(0.0, 0.5), Rgb{128, 0, 0}));
}

TEST(DemoMath, PlasmaPaletteTurnsWithoutASeam) {
    uint32_t palette[256], turned[256], fullTurn[256];
    PlasmaPalette(0.0, palette);
    auto channel = [](uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); };
    for (int i = 0; i < 256; ++i) {
        const uint32_t next = palette[(i + 1) % 256];  // 255 flows into 0 like any other pair
        for (int shift : {0, 8, 16}) {
            ASSERT_LE(std::abs(channel(palette[i], shift) - channel(next, shift)), 8) << "entry " << i;
        }
        ASSERT_EQ(palette[i] >> 24, 0u);
    }
    PlasmaPalette(1.0 / 256.0, turned);
    PlasmaPalette(1.0, fullTurn);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(turned[i], palette[(i + 1) % 256]);
        EXPECT_EQ(fullTurn[i], palette[i]);
    }
}

TEST(DemoMath, OnlyMovesBeyondTheSlopCount) {
    EXPECT_FALSE(MovedBeyond(100, 100, 100, 100, 4));
    EXPECT_FALSE(MovedBeyond(100, 100, 104, 96, 4));
    EXPECT_TRUE(MovedBeyond(100, 100, 105, 100, 4));
    EXPECT_TRUE(MovedBeyond(100, 100, 100, 95, 4));
    EXPECT_TRUE(MovedBeyond(-3, 0, 2, 0, 4));
}

}  // namespace
