#include "diag/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

// Answers CPUID like a given processor; leaves it does not know read as zeros. `signature` holds
// family, model and stepping a nibble each (0x683: family 6, model 8, stepping 3); a non-zero
// `leaf2` announces Intel's cache-descriptor leaf and is its EAX.
struct FakeCpuid : CpuidSource {
    FakeCpuid(const char* vendor, uint32_t signature, uint32_t brand = 0, uint32_t leaf2 = 0) {
        uint32_t words[3];
        std::memcpy(words, vendor, 12);
        leaves[0] = {leaf2 ? 2u : 1u, words[0], words[2], words[1]};  // EBX, EDX, ECX spell the vendor
        leaves[1] = {signature, brand, 0, 0x10};
        leaves[2] = {leaf2, 0, 0, 0};
    }
    bool Available() const override { return available; }
    CpuidRegs Query(uint32_t leaf) const override {
        const auto it = leaves.find(leaf);
        return it == leaves.end() ? CpuidRegs{} : it->second;
    }

    bool available = true;
    std::map<uint32_t, CpuidRegs> leaves;
};

// The rows of the naming tables that decide by more than the model, and each table's ends. `leaf2` 0x4N01 is one call
// announcing one L2 descriptor 0x4N: 0x40 none, 0x41 128 KB, 0x42 256 KB, 0x43 512 KB, 0x44 1 MB, 0x45 2 MB.
TEST(SystemInfo, NamesProcessorsByVendorFamilyModelBrandAndCache) {
    const struct {
        const char* vendor;
        uint32_t signature, brand, leaf2;
        const char* name;
    } cases[] = {{"GenuineIntel", 0x650, 0, 0, "Celeron"},
                 {"GenuineIntel", 0x650, 0, 0x4401, "Pentium II Xeon"},
                 {"GenuineIntel", 0x650, 0, 0x44, "Celeron"},  // byte 0 is the call count, not a descriptor
                 {"GenuineIntel", 0x660, 0, 0x4101, "Celeron"},
                 {"GenuineIntel", 0x671, 0, 0x454202, "Pentium III Xeon"},  // of 256 KB and 2 MB, the last wins
                 {"GenuineIntel", 0x683, 3, 0, "Pentium III Xeon"},
                 {"GenuineIntel", 0xF29, 14, 0, "Xeon"},
                 {"GenuineIntel", 0xF29, 0, 0, "Pentium 4"},
                 {"GenuineIntel", 0x700, 0, 0, "Intel(Family:7 Model:0 Stepping:0)"},
                 {"AuthenticAMD", 0x580, 0, 0, "AMD-K6(R) -2"},
                 {"CyrixInstead", 0x600, 0, 0, "6x86MX"},
                 {"HygonGenuine", 0x610, 0, 0, "Unknown"}};
    for (const auto& c : cases) {
        const CpuInfo info = IdentifyProcessor(FakeCpuid(c.vendor, c.signature, c.brand, c.leaf2));
        EXPECT_EQ(info.name, c.name) << c.vendor << " " << std::hex << c.signature << " " << c.brand << " " << c.leaf2;
    }
    FakeCpuid none("GenuineIntel", 0x683);
    none.available = false;
    EXPECT_EQ(IdentifyProcessor(none).family, 4) << "a processor without CPUID";
    EXPECT_EQ(IdentifyProcessor(none).name, "Unknown");
}

// With extended leaves the brand string is kept, as far as the leaves that exist spell it.
TEST(SystemInfo, ExtendedLeavesGiveTheBrandStringOfTheLeavesThatExist) {
    const std::string brand = "  AMD EPYC 7B13 64-Core Processor" + std::string(15, ' ');
    for (const auto& [maxLeaf, length] : {std::pair{0x80000003u, 32u}, {0x80000008u, 48u}}) {
        FakeCpuid cpu("AuthenticAMD", 0x400);
        cpu.leaves[0x80000000] = {maxLeaf, 0, 0, 0};
        cpu.leaves[0x80000001] = {0xF11, 0, 0, 0x10};
        for (uint32_t i = 0; i < 3; ++i)
            std::memcpy(&cpu.leaves[0x80000002 + i], brand.data() + 16 * i, 16);
        const CpuInfo info = IdentifyProcessor(cpu);
        EXPECT_EQ(info.name, brand.substr(0, length)) << std::hex << maxLeaf;
        EXPECT_EQ(info.family, 15);
        EXPECT_EQ(info.hasCacheDescriptors, maxLeaf >= 0x80000005);
    }
}

TEST(SystemInfo, FormatsTheSystemAndProcessorLines) {
    EXPECT_EQ(FormatSystemText(2, 6, 1, 7601, "Service Pack 1"), "Windows NT 6.1 Build: 7601 Service Pack 1");
    // Windows 9x keeps version numbers in the high word of the build number.
    EXPECT_EQ(FormatSystemText(1, 4, 10, 0x040A0B2C, " A "), "Windows 4.10 Build: 2860  A ");
    EXPECT_EQ(FormatProcessorText(2, "Pentium 4", 2793), "2x Pentium 4, 2793 MHz");
    EXPECT_EQ(FormatProcessorText(1, std::string("Celeron\0junk", 12), -1), "Celeron, -1 MHz");
}

TEST(SystemInfo, SpeedRoundsStopWhenThreeAgreeOrAfterTwenty) {
    // A 10 MHz counter: 1000 ticks are 100 microseconds, so 300000 cycles are 3000 MHz.
    const struct {
        std::vector<uint64_t> cycles;
        int rounds;
        int32_t mhz;
    } cases[] = {{{300000}, 3, 3000},
                 {{250000, 300000, 310000, 300000, 300100, 300200}, 6, 2934},
                 {{400000, 200000}, SpeedRounds::kMaxRounds, 3000}};
    for (const auto& c : cases) {
        SpeedRounds rounds(10000000);
        for (size_t i = 0; !rounds.Done(); ++i)
            rounds.AddRound(c.cycles[i % c.cycles.size()], 1000);
        EXPECT_EQ(rounds.rounds(), c.rounds);
        EXPECT_EQ(rounds.Result().rawMHz, c.mhz);
    }
    // Rounds without elapsed ticks must not overflow the agreement test.
    SpeedRounds stalled(10000000);
    for (int64_t ticks : {1000, 0, 0})
        stalled.AddRound(300000, ticks);
    EXPECT_FALSE(stalled.Done());
}

}  // namespace
