// Stack traces, stack dumps and the system-information texts, measured in this process.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "diag/StackWalk_win.h"
#include "diag/SystemInfo_win.h"

namespace {

const std::string kHexAddress = "[0-9A-F]{" + std::to_string(kAddressDigits) + "}";

using Callers = std::vector<uintptr_t>;

// Three frames whose call sites the trace must list, innermost first. The work after each call
// keeps the compiler from turning the calls into jumps.
__attribute__((noinline)) std::string Innermost(Callers* callers, bool oneLine, int skip) {
    std::string trace = BuildStackTrace(oneLine, skip, callers);
    asm volatile("" ::: "memory");
    return trace;
}
__attribute__((noinline)) std::string Middle(Callers* callers, bool oneLine, int skip) {
    std::string trace = Innermost(callers, oneLine, skip);
    asm volatile("" ::: "memory");
    return trace + "";
}
__attribute__((noinline)) std::string Outer(Callers* callers, bool oneLine, int skip) {
    std::string trace = Middle(callers, oneLine, skip);
    asm volatile("" ::: "memory");
    return trace + "";
}

bool Within(uintptr_t address, const void* function) {
    const auto start = reinterpret_cast<uintptr_t>(function);
    return address > start && address < start + 0x100;
}

__attribute__((noinline)) std::string Recurse(int depth, Callers* callers) {
    std::string trace = depth == 0 ? BuildStackTrace(true, 0, callers) : Recurse(depth - 1, callers);
    asm volatile("" ::: "memory");
    return trace + "";
}

TEST(StackTrace, ListsTheCallSitesOfTheCallersInOrder) {
    Callers callers;
    const std::string trace = Outer(&callers, false, 0);
    ASSERT_GE(callers.size(), 3u) << trace;
    EXPECT_TRUE(Within(callers[0], reinterpret_cast<const void*>(&Middle)));
    EXPECT_TRUE(Within(callers[1], reinterpret_cast<const void*>(&Outer)));
    // Every address is the call instruction itself: the bytes there start a call.
    for (uintptr_t caller : callers) {
        const auto* code = reinterpret_cast<const unsigned char*>(caller);
        EXPECT_TRUE(code[0] == 0xE8 || code[0] == 0xFF || (code[0] & 0xF0) == 0x40) << std::hex << caller;
    }
    std::string expected;
    for (uintptr_t caller : callers) {
        char line[32];
        snprintf(line, sizeof line, "%0*llX\r\n", kAddressDigits, static_cast<unsigned long long>(caller));
        expected += line;
    }
    EXPECT_EQ(trace, expected);

    Callers skipped;
    Outer(&skipped, false, 1);
    ASSERT_FALSE(skipped.empty());
    EXPECT_EQ(skipped[0], callers[1]);
}

TEST(StackTrace, TheOneLineFormIsCutAfterTwelveAddresses) {
    Callers callers;
    const std::string trace = Recurse(20, &callers);
    EXPECT_EQ(callers.size(), 12u);
    EXPECT_TRUE(std::regex_match(trace, std::regex("(" + kHexAddress + ",){12}0"))) << trace;
    for (uintptr_t caller : callers)
        EXPECT_TRUE(Within(caller, reinterpret_cast<const void*>(&Recurse)));
}

TEST(StackTrace, WalksOtherThreadsUpToTheirOwnStackBase) {
    Callers callers;
    std::string trace;
    uintptr_t base = 0;
    uintptr_t sp = 0;
    std::thread worker([&] {
        trace = Outer(&callers, false, 0);
        base = ThreadStackBase();
        sp = CurrentStackPointer();
    });
    worker.join();
    EXPECT_GE(callers.size(), 2u) << trace;
    EXPECT_GT(base, sp);
    EXPECT_LT(base - sp, 16u * 1024 * 1024);
}

TEST(StackDump, ShowsTwentyLinesOfTheStackAndStopsAtItsBase) {
    const std::string dump = BuildStackDump(0);
    EXPECT_TRUE(std::regex_match(dump, std::regex("(([0-9A-F]{2} ){8}-( [0-9A-F]{2}){8}\r\n){20}"))) << dump;

    const std::string tail = BuildStackDump(ThreadStackBase() - 100);
    EXPECT_TRUE(std::regex_match(tail, std::regex("(([0-9A-F]{2} ){8}-( [0-9A-F]{2}){8}\r\n){6}([0-9A-F]{2} ){4}")))
        << tail;
}

TEST(SystemInfo, DescribesThisMachinePlausibly) {
    EXPECT_TRUE(std::regex_match(SystemText(), std::regex("Windows NT [0-9]+\\.[0-9]+ Build: [0-9]+ .*")))
        << SystemText();

    const CpuInfo cpu = IdentifyProcessor();
    EXPECT_TRUE(cpu.hasCpuid);
    EXPECT_NE(cpu.vendorName, "");
    EXPECT_NE(cpu.name, "");
    EXPECT_LE(cpu.name.size(), 48u);
    EXPECT_GE(cpu.speed.rawMHz, 200);
    EXPECT_LE(cpu.speed.rawMHz, 10000);

    std::smatch m;
    const std::string processor = ProcessorText();
    ASSERT_TRUE(std::regex_match(processor, m, std::regex("(([0-9]+)x )?(.+), (-?[0-9]+) MHz"))) << processor;
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    EXPECT_EQ(m[2].str(), system.dwNumberOfProcessors == 1 ? "" : std::to_string(system.dwNumberOfProcessors));

    const std::string memory = MemoryText();
    ASSERT_TRUE(std::regex_match(
        memory, m, std::regex("([0-9]+) of ([0-9]+) MB, Allocated ([0-9]+) \\(([0-9]+) of ([0-9]+)\\) KB")))
        << memory;
    const auto number = [&](int i) { return std::stoull(m[i].str()); };
    EXPECT_GT(number(2), 0u);
    EXPECT_LE(number(1), number(2));
    EXPECT_GT(number(3), 0u) << "working set";
    EXPECT_LE(number(4), number(5));
    EXPECT_GT(number(5), 0u);
}

TEST(SystemInfo, SpeedMeasurementsAgree) {
    CpuInfo first;
    CpuInfo second;
    ASSERT_TRUE(MeasureCpuSpeed(first));
    ASSERT_TRUE(MeasureCpuSpeed(second));
    EXPECT_GT(first.speed.totalMicroseconds, 0);
    EXPECT_GT(first.speed.totalCycles, 0u);
    // Two measurements of one clock a moment apart stay within a few percent.
    EXPECT_NEAR(first.speed.rawMHz, second.speed.rawMHz, first.speed.rawMHz / 10 + 5);
}

}  // namespace
