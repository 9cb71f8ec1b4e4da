#include "host/Schedule.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

namespace {

// Ticked at 2, 5 and 9 out of 12.
std::vector<bool> Ticked(std::initializer_list<int> indexes, size_t count = 12) {
    std::vector<bool> checked(count, false);
    for (int i : indexes) checked[static_cast<size_t>(i)] = true;
    return checked;
}

double Never() {
    ADD_FAILURE() << "no draw expected";
    return 0;
}

int32_t Next(const std::vector<bool>& checked, int32_t previous, int32_t order, bool keep = false) {
    return ChooseNextIndex(checked, previous, ScheduleState{order, keep}, Never);
}

TEST(Schedule, SequentialAndReverseFollowTheTickedEntries) {
    const auto checked = Ticked({2, 5, 9});
    struct {
        int32_t previous, sequential, reverse;
    } cases[] = {
        {5, 9, 2},   // the previous one is ticked
        {9, 2, 5},   // wraps around
        {-1, 2, 9},  // no previous one
        {1, 2, 9},   // previous one before every ticked entry
        {6, 9, 2},   // previous one unticked since
        {11, 2, 5},  // past the last ticked entry
        {40, 2, 5},  // index beyond the catalogue
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.previous);
        EXPECT_EQ(Next(checked, c.previous, kOrderSequential), c.sequential);
        EXPECT_EQ(Next(checked, c.previous, kOrderReverse), c.reverse);
    }
}

TEST(Schedule, OnlyOneTickedOrNoneTicked) {
    const auto single = Ticked({5});
    for (int32_t order : {kOrderSequential, kOrderReverse, kOrderRandom}) {
        EXPECT_EQ(ChooseNextIndex(single, 5, ScheduleState{order, false}, [] { return 0.7; }), 5);
        EXPECT_EQ(ChooseNextIndex(Ticked({}), 5, ScheduleState{order, false}, [] { return 0.7; }), -1);
        EXPECT_EQ(ChooseNextIndex(std::vector<bool>(), -1, ScheduleState{order, false}, [] { return 0.7; }), -1);
    }
}

TEST(Schedule, KeepsTheDaysSaverWhileItIsTicked) {
    const auto checked = Ticked({2, 5, 9});
    EXPECT_EQ(Next(checked, 5, kOrderSequential, true), 5);
    EXPECT_EQ(Next(checked, 6, kOrderSequential, true), 9);  // unticked since: move on
    EXPECT_EQ(Next(checked, -1, kOrderReverse, true), 9);
}

TEST(Schedule, RandomCoversEveryCandidateAndNeverRepeats) {
    const auto checked = Ticked({0, 2, 3, 5, 8, 9, 11});
    std::mt19937 generator(12345);
    auto draw = [&] { return static_cast<double>(generator()) / 4294967296.0; };
    std::map<int32_t, int> seen;
    int32_t previous = 5;
    const int kDraws = 70000;
    for (int i = 0; i < kDraws; ++i) {
        int32_t next = ChooseNextIndex(checked, previous, ScheduleState{kOrderRandom, false}, draw);
        ASSERT_NE(next, previous);
        ASSERT_TRUE(checked[static_cast<size_t>(next)]);
        ++seen[next];
        previous = next;
    }
    ASSERT_EQ(seen.size(), 7u);
    // Each pick is uniform over the six others, so every saver comes up about 1/7 of the time.
    for (const auto& [index, count] : seen) EXPECT_NEAR(count, kDraws / 7, kDraws / 70) << index;
}

TEST(Schedule, RandomDrawsMapOntoEveryPositionAtTheExtremes) {
    const auto checked = Ticked({1, 4, 7});
    auto with = [&](double r) { return ChooseNextIndex(checked, -1, ScheduleState{kOrderRandom, false}, [r] { return r; }); };
    EXPECT_EQ(with(0.0), 1);
    EXPECT_EQ(with(0.5), 4);
    EXPECT_EQ(with(0.9999999997), 7);
}

TEST(Schedule, ResolvesThePreviousRecord) {
    const std::vector<std::string> paths = {"C:\\W\\a.scr", "C:\\W\\b.scr", "C:\\W\\c.scr", "C:\\W\\b.scr"};
    EXPECT_EQ(ResolvePrevious("", paths), -1);
    EXPECT_EQ(ResolvePrevious("1?C:\\W\\b.scr", paths), 1);
    EXPECT_EQ(ResolvePrevious("3?C:\\W\\b.scr", paths), 3);
    EXPECT_EQ(ResolvePrevious("1?c:\\w\\B.SCR", paths), 1);   // case ignored at the recorded index...
    EXPECT_EQ(ResolvePrevious("0?c:\\w\\B.SCR", paths), -1);  // ...but not in the path search
    EXPECT_EQ(ResolvePrevious("0?C:\\W\\c.scr", paths), 2);   // catalogue rebuilt: found by path
    EXPECT_EQ(ResolvePrevious("x?C:\\W\\c.scr", paths), 2);
    EXPECT_EQ(ResolvePrevious("9?C:\\W\\gone.scr", paths), -1);
    EXPECT_EQ(ResolvePrevious("C:\\W\\c.scr", paths), 2);     // no '?': the whole value is the path
    EXPECT_EQ(PreviousRecord(3, "C:\\Windows\\System32\\example.scr"), "3?C:\\Windows\\System32\\example.scr");
    EXPECT_EQ(PreviousRecord(-1, "x"), "");
}

TEST(Schedule, ChangeTimeSurvivesWrapAndLargeValues) {
    EXPECT_FALSE(ChangeTimePassed(1000, 1000, 0));
    EXPECT_TRUE(ChangeTimePassed(1000, 1300, 0));
    EXPECT_FALSE(ChangeTimePassed(0, 60000, 1));
    EXPECT_TRUE(ChangeTimePassed(0, 60001, 1));
    EXPECT_TRUE(ChangeTimePassed(0xFFFFFF00u, 60000, 1));    // tick count wrapped during the run
    EXPECT_FALSE(ChangeTimePassed(0xFFFFFF00u, 59000, 1));
    // 1,000,000,000 minutes would wrap to a tiny limit in 32 bits and change at every poll.
    EXPECT_FALSE(ChangeTimePassed(0, 300, 1000000000));
    EXPECT_FALSE(ChangeTimePassed(0, 0x7FFFFFFF, 1000000000));
    EXPECT_FALSE(ChangeTimePassed(0, 300, 71583));  // 71583 * 60000 wraps to a small value in 32 bits
}

}  // namespace
