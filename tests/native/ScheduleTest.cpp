#include "host/Schedule.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>

#include "app/Random.h"

namespace {

// `count` entries, ticked at `indexes`.
std::vector<bool> Ticked(std::initializer_list<int> indexes, size_t count = 12) {
    std::vector<bool> checked(count, false);
    for (int i : indexes)
        checked[static_cast<size_t>(i)] = true;
    return checked;
}

double Never() {
    ADD_FAILURE() << "no draw expected";
    return 0;
}

using Draw = std::function<double()>;
int32_t Next(const std::vector<bool>& checked, int32_t previous, int32_t order, bool keep = false, Draw draw = Never) {
    return ChooseNextIndex(checked, previous, ScheduleState{order, keep}, draw);
}

TEST(Schedule, SequentialAndReverseFollowTheTickedEntriesAndKeepTheDaysSaver) {
    const auto checked = Ticked({2, 5, 9});
    struct {
        int32_t previous;
        bool keep;  // "Change once a day" on the same day
        int32_t sequential, reverse;
    } cases[] = {{5, false, 9, 2},   // the previous one is ticked
                 {9, false, 2, 5},   // wraps around
                 {-1, false, 2, 9},  // no previous one
                 {40, false, 2, 5},  // index beyond the catalogue
                 {5, true, 5, 5},    // the day's saver stays
                 {6, true, 9, 2}};   // ...unless it was unticked since
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.previous << (c.keep ? " keep" : ""));
        EXPECT_EQ(Next(checked, c.previous, kOrderSequential, c.keep), c.sequential);
        EXPECT_EQ(Next(checked, c.previous, kOrderReverse, c.keep), c.reverse);
    }
}

TEST(Schedule, OnlyOneTickedOrNoneTicked) {
    const auto draw = [] { return 0.7; };
    for (int32_t order : {kOrderSequential, kOrderReverse, kOrderRandom}) {
        EXPECT_EQ(Next(Ticked({5}), 5, order, false, draw), 5);
        EXPECT_EQ(Next(Ticked({}), 5, order, false, draw), -1);
    }
}

TEST(Schedule, RandomCoversEveryCandidateAndNeverRepeats) {
    const auto checked = Ticked({0, 2, 3, 5, 8, 9, 11});
    SeedRandom(12345);
    std::map<int32_t, int> seen;
    int32_t previous = 5;
    const int kDraws = 70000;
    for (int i = 0; i < kDraws; ++i) {
        const int32_t next = Next(checked, previous, kOrderRandom, false, RandomReal);
        ASSERT_TRUE(next != previous && checked[static_cast<size_t>(next)]) << next;
        ++seen[next];
        previous = next;
    }
    ASSERT_EQ(seen.size(), 7u);
    // Each pick is uniform over the six others, so every saver comes up about 1/7 of the time.
    for (const auto& [index, count] : seen)
        EXPECT_NEAR(count, kDraws / 7, kDraws / 70) << index;
    // The extreme draws still land on the first and the last candidate.
    EXPECT_EQ(Next(checked, -1, kOrderRandom, false, [] { return 0.0; }), 0);
    EXPECT_EQ(Next(checked, -1, kOrderRandom, false, [] { return 0.9999999997; }), 11);
}

TEST(Schedule, ResolvesThePreviousRecord) {
    const std::vector<std::string> paths = {"C:\\W\\a.scr", "C:\\W\\b.scr", "C:\\W\\c.scr", "C:\\W\\b.scr"};
    EXPECT_EQ(ResolvePrevious("", paths), -1);
    EXPECT_EQ(ResolvePrevious("1?c:\\w\\B.SCR", paths), 1);   // case ignored at the recorded index...
    EXPECT_EQ(ResolvePrevious("0?c:\\w\\B.SCR", paths), -1);  // ...but not in the path search
    EXPECT_EQ(ResolvePrevious("0?C:\\W\\c.scr", paths), 2);   // catalogue rebuilt: found by path
    EXPECT_EQ(ResolvePrevious("C:\\W\\c.scr", paths), 2);     // no '?': the whole value is the path
    EXPECT_EQ(PreviousRecord(3, "C:\\Windows\\System32\\example.scr"), "3?C:\\Windows\\System32\\example.scr");
    EXPECT_EQ(PreviousRecord(-1, "x"), "");
}

TEST(Schedule, ChangeTimeSurvivesWrapAndLargeValues) {
    EXPECT_FALSE(ChangeTimePassed(1000, 1000, 0));
    EXPECT_TRUE(!ChangeTimePassed(0, 60000, 1) && ChangeTimePassed(0, 60001, 1));
    EXPECT_TRUE(ChangeTimePassed(0xFFFFFF00u, 60000, 1));  // tick count wrapped during the run
    EXPECT_FALSE(ChangeTimePassed(0xFFFFFF00u, 59000, 1));
    EXPECT_FALSE(ChangeTimePassed(0, 300, 71583));  // 71583 * 60000 wraps to a small value in 32 bits
}

}  // namespace
