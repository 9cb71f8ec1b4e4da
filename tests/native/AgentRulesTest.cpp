#include "agent/AgentRules.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

// The Wine tests watch the agent put the system back; these are the edges of when it must.
namespace {

TEST(AgentRules, OnlyANonZeroNumberTurnsAnOptionOn) {
    const struct {
        const char* text;
        bool on;
    } cases[] = {{" 2 ", true}, {"-1", true}, {"0", false}, {"", false}, {"1x", false}};
    for (const auto& c : cases) {
        EXPECT_EQ(AgentOptionsFrom(c.text, "").restoreSaver, c.on) << '"' << c.text << '"';
        EXPECT_EQ(AgentOptionsFrom("", c.text).restoreDelay, c.on) << '"' << c.text << '"';
    }
}

TEST(AgentRules, DelayIsHeldToTheWindowsRangeAndOffWhenNotPositive) {
    const struct {
        const char* text;
        int32_t seconds;
    } cases[] = {{" 45", 45}, {"1", 1},           {"0", 0},           {"-60", 0},
                 {"5m", 0},   {"599999", 599999}, {"600000", 599999}, {"99999999999", 599999}};
    for (const auto& c : cases)
        EXPECT_EQ(DelayFromText(c.text), c.seconds) << '"' << c.text << '"';
}

TEST(AgentRules, RepairsFollowTheOptionsAndOnlyWhatDrifted) {
    const std::string ours = "C:\\Windows\\System32\\vantora.scr";
    const SystemSaverState kept{"c:\\windows\\system32\\VANTORA.SCR", "1", true, "300", 300};
    auto with = [&](auto change) {
        SystemSaverState state = kept;
        change(state);
        return state;
    };
    const struct {
        const char* name;
        AgentOptions options;
        SystemSaverState state;
        std::string installed;
        int32_t delay;
        SaverRepairs expected;
    } cases[] = {
        {"all kept", {true, true}, kept, ours, 300, {}},
        {"other saver", {true, true}, with([](auto& s) { s.saverPath = "C:\\x.scr"; }), ours, 300, {true, false, 0}},
        {"other saver, option off", {false, true}, with([](auto& s) { s.saverPath = "C:\\x.scr"; }), ours, 300, {}},
        {"unknown install", {true, true}, with([](auto& s) { s.saverPath = "C:\\x.scr"; }), "", 300, {}},
        {"switched off live", {true, false}, with([](auto& s) { s.liveActive = false; }), ours, 300, {false, true, 0}},
        {"off stored", {true, false}, with([](auto& s) { s.storedActive = "0"; }), ours, 300, {false, true, 0}},
        {"active not stored", {true, false}, with([](auto& s) { s.storedActive = ""; }), ours, 300, {}},
        {"timeout live", {false, true}, with([](auto& s) { s.liveTimeout = 600; }), ours, 300, {false, false, 300}},
        {"timeout damaged", {false, true}, with([](auto& s) { s.storedTimeout = "x"; }), ours, 300, {}},
        {"timeout, no delay", {true, true}, with([](auto& s) { s.liveTimeout = 600; }), ours, 0, {}},
        {"everything", {true, true}, SystemSaverState{"C:\\x.scr", "0", false, "60", 60}, ours, 300, {true, true, 300}},
    };
    for (const auto& c : cases) {
        const SaverRepairs r = RepairsNeeded(c.options, c.state, c.installed, c.delay);
        EXPECT_EQ(std::make_tuple(r.saverPath, r.active, r.timeout),
                  std::make_tuple(c.expected.saverPath, c.expected.active, c.expected.timeout))
            << c.name;
    }
}

// Each row is a run of put-backs asked for at the given ticks, with the verdict each one gets.
TEST(AgentRules, PutBacksBackOffAfterABurstAndResumeAfterTheBackOff) {
    using V = PutBackGuard::Verdict;
    constexpr uint32_t kOff = PutBackGuard::kBackOffMs;
    constexpr uint32_t kWrap = 0xFFFFF000u;
    const struct {
        const char* name;
        std::vector<uint32_t> ticks;
        const char* verdicts;  // P put back, S start backing off, B backing off
    } cases[] = {
        {"sixth within the window backs off",
         {0, 1000, 2000, 3000, 4000, 9999, 10000, 9999 + kOff - 1, 9999 + kOff, 9999 + kOff + 1},
         "PPPPPSBBPP"},
        {"spread out never backs off", {0, 2500, 5000, 7500, 9000, 10000, 12500, 15000}, "PPPPPPPP"},
        {"across the tick wrap",
         {kWrap, kWrap + 1000, kWrap + 2000, kWrap + 4000, kWrap + 6000, kWrap + 8000, kWrap + 9000},
         "PPPPPSB"},
    };
    for (const auto& c : cases) {
        PutBackGuard guard;
        for (size_t i = 0; i < c.ticks.size(); ++i) {
            const char v = c.verdicts[i];
            EXPECT_EQ(guard.Decide(c.ticks[i]), v == 'P'   ? V::PutBack
                                                : v == 'S' ? V::StartBackOff
                                                           : V::BackingOff)
                << c.name << " at " << c.ticks[i];
        }
    }
    PutBackGuard guard;
    for (uint32_t at = 0; at < 6; ++at)
        guard.Decide(at);
    EXPECT_EQ(guard.BackOffLeft(1005), kOff - 1000);
    guard.Reset();
    EXPECT_EQ(guard.BackOffLeft(1005), 0u);
    EXPECT_EQ(guard.Decide(1006), V::PutBack);
}

TEST(AgentRules, InstalledSaverIsTheRecordedPathElseTheSystemFolder) {
    EXPECT_EQ(InstalledSaverPath("D:\\Win\\SysWOW64\\vantora.scr", "C:\\W\\System32"),
              "D:\\Win\\SysWOW64\\vantora.scr");
    EXPECT_EQ(InstalledSaverPath("", "C:\\W\\System32"), "C:\\W\\System32\\vantora.scr");
    EXPECT_EQ(InstalledSaverPath("", ""), "");
    EXPECT_EQ(SaverCommandLine("C:\\Program Files\\v.scr", "/c"), "\"C:\\Program Files\\v.scr\" /c");
}

}  // namespace
