#include "demos/DemoMath.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace {

TEST(DemoMath, StarsProjectFromTheCentreOutwards) {
    double x = 0.0, y = 0.0, nearer = 0.0;
    ASSERT_TRUE(ProjectStar(0.0, 0.0, 0.5, 800, 600, x, y));
    EXPECT_TRUE(x == 400.0 && y == 300.0);
    // x = ±1 at depth 1 reaches the edges of the longer side: the right edge itself is outside.
    EXPECT_TRUE(ProjectStar(-1.0, 0.0, 1.0, 800, 600, x, y) && x == 0.0);
    EXPECT_FALSE(ProjectStar(1.0, 0.0, 1.0, 800, 600, x, y));
    // The same star drawn nearer lies further out.
    ASSERT_TRUE(ProjectStar(0.2, 0.1, 0.8, 800, 600, x, y) && ProjectStar(0.2, 0.1, 0.4, 800, 600, nearer, y));
    EXPECT_GT(nearer, x);
    // At or behind the eye, and on an empty screen, nothing is drawn.
    EXPECT_FALSE(ProjectStar(0.1, 0.1, 0.0, 800, 600, x, y));
    EXPECT_FALSE(ProjectStar(0.0, 0.0, 0.5, 0, 0, x, y));
}

TEST(DemoMath, BouncingPointsReflectAndStayInside) {
    double p = 9.0, v = 2.0;
    BounceStep(p, v, 1.0, 10.0);  // 11 reflects to 9, now heading back
    EXPECT_TRUE(p == 9.0 && v == -2.0);
    // Long steps (a slow frame on a small preview) and a collapsed range still end inside.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> speed(-500.0, 500.0), seconds(0.0, 0.5);
    for (int i = 0; i < 10000; ++i) {
        if (i % 100 == 0) v = speed(random);
        const double magnitude = std::abs(v);
        BounceStep(p, v, seconds(random), 17.0);
        ASSERT_TRUE(p >= 0.0 && p <= 17.0 && std::abs(v) == magnitude) << p << " " << v;
    }
    BounceStep(p, v, 0.1, 0.0);
    EXPECT_EQ(p, 0.0);
}

}  // namespace
