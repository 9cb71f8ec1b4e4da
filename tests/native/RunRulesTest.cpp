#include <gtest/gtest.h>

#include <string>

#include "app/PointerWatch.h"
#include "host/RunLog.h"
#include "host/Watchdog.h"

namespace {

TEST(Watchdog, InputCountsFromTheStartTickAcrossTheWrap) {
    const struct {
        uint32_t since, lastInput;
        bool input;
    } cases[] = {
        {1000, 999, false},         {1000, 1000, true},
        {1000, 5000, true},         {0xFFFFFF00u, 0x10, true},  // input after the wrap
        {0x10, 0xFFFFFF00u, false},                             // input before the wrap
    };
    for (const auto& c : cases)
        EXPECT_EQ(InputSince(c.since, c.lastInput), c.input) << c.since << " " << c.lastInput;
}

TEST(Watchdog, GivesUpWhenEveryTickedOneFailedOrTheSameOneComesBack) {
    const std::vector<bool> checked = {false, true, false, true, true};
    FailureStreak streak;
    EXPECT_FALSE(streak.GivesUp(checked, 1));
    streak.Failed(1);
    EXPECT_FALSE(streak.GivesUp(checked, 3));
    EXPECT_TRUE(streak.GivesUp(checked, 1));  // kept for the day: it would only fail again
    streak.Failed(3);
    streak.Failed(0);  // unticked ones do not count
    EXPECT_FALSE(streak.GivesUp(checked, 4));
    streak.Failed(4);
    EXPECT_TRUE(streak.GivesUp(checked, 1));
    streak.Ran();
    EXPECT_FALSE(streak.GivesUp(checked, 4));
    streak.Failed(4);
    EXPECT_FALSE(streak.GivesUp(checked, 1));
}

TEST(PointerWatch, TheFirstMoveMarksTheRestingPlaceAndOnlyMovesBeyondTheSlopCount) {
    PointerWatch watch;
    EXPECT_FALSE(watch.Moved(500, 500));  // the window appeared under the pointer
    const struct {
        int x, y;
        bool moved;
    } moves[] = {{504, 496, false}, {505, 500, true}, {500, 495, true}, {496, 504, false}};
    for (const auto& m : moves)
        EXPECT_EQ(watch.Moved(m.x, m.y), m.moved) << m.x << "," << m.y;
    watch.Rest(0, 0);
    EXPECT_FALSE(watch.Moved(4, -4));
    EXPECT_TRUE(watch.Moved(0, 5));
}

TEST(RunLog, LinesNameTimeEventAndFile) {
    const LocalTime t{2024, 5, 1, 22, 3, 5};
    EXPECT_EQ(RunLogLine(t, RunEvent::EndedByItself, "C:\\w\\a.scr"),
              "2024-05-01 22:03:05  ended by itself           C:\\w\\a.scr\r\n");
    EXPECT_EQ(RunLogLine(t, RunEvent::AllFailed, ""), "2024-05-01 22:03:05  all failed, black screen\r\n");
}

}  // namespace
