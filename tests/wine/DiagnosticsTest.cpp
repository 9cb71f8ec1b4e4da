// Stack traces and stack dumps, measured in this process.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "diag/StackWalk.h"
#include "diag/StackWalk_win.h"

namespace {

using Callers = std::vector<uintptr_t>;

// Frames whose call sites the trace must list, innermost first. The work after each call keeps the
// compiler from turning the calls into jumps; noipa keeps it from making specialised copies.
__attribute__((noipa)) std::string Recurse(int depth, Callers* callers, bool oneLine = false, int skip = 0) {
    std::string trace =
        depth == 0 ? BuildStackTrace(oneLine, skip, callers) : Recurse(depth - 1, callers, oneLine, skip);
    asm volatile("" ::: "memory");
    return trace + "";
}

bool InRecurse(uintptr_t address) {
    const auto start = reinterpret_cast<uintptr_t>(&Recurse);
    return address > start && address < start + 0x100;
}

TEST(StackTrace, ListsTheCallSitesOfTheCallersOnAnyThreadAndCutsTheOneLineFormAtTwelve) {
    for (bool worker : {false, true}) {
        Callers callers;
        std::string trace;
        if (worker)
            std::thread([&] { trace = Recurse(2, &callers); }).join();
        else
            trace = Recurse(2, &callers);
        ASSERT_GE(callers.size(), 3u) << trace;
        std::string expected;
        for (uintptr_t caller : callers) {
            expected += HexDigits(caller, kAddressDigits) + "\r\n";
            // The call instruction itself, not the return address after it.
            const uint8_t opcode = *reinterpret_cast<const uint8_t*>(caller);
            EXPECT_TRUE(opcode == 0xE8 || opcode == 0xFF || (opcode & 0xF0) == 0x40) << std::hex << caller;
        }
        EXPECT_TRUE(InRecurse(callers[0]) && InRecurse(callers[1]));
        EXPECT_EQ(trace, expected);
    }
    Callers bySkip[2];
    for (int skip : {0, 1})
        Recurse(2, &bySkip[skip], false, skip);
    EXPECT_EQ(Callers(bySkip[0].begin() + 1, bySkip[0].end()), bySkip[1]);

    Callers cut;
    const std::string oneLine = Recurse(20, &cut, true);
    EXPECT_EQ(cut.size(), 12u);
    EXPECT_TRUE(std::regex_match(oneLine, std::regex("([0-9A-F]{" + std::to_string(kAddressDigits) + "},){12}0")));
}

TEST(StackDump, ShowsTwentyLinesOfTheStackAndStopsAtItsBase) {
    const std::string line = "([0-9A-F]{2} ){8}-( [0-9A-F]{2}){8}\r\n";
    EXPECT_TRUE(std::regex_match(BuildStackDump(0), std::regex("(" + line + "){20}")));
    EXPECT_TRUE(
        std::regex_match(BuildStackDump(ThreadStackBase() - 100), std::regex("(" + line + "){6}([0-9A-F]{2} ){4}")));
}

}  // namespace
