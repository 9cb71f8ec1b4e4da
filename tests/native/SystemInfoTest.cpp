#include "diag/SystemInfo.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>

namespace {

// Answers CPUID like a given processor; leaves it does not know read as zeros.
class FakeCpuid : public CpuidSource {
public:
    explicit FakeCpuid(const char* vendor, bool available = true) : available_(available) {
        uint32_t words[3];
        std::memcpy(words, vendor, 12);
        leaves_[0] = {1, words[0], words[2], words[1]};  // EBX, EDX, ECX spell the vendor
    }
    bool Available() const override { return available_; }
    CpuidRegs Query(uint32_t leaf) const override {
        ++queries_[leaf];
        auto it = leaves_.find(leaf);
        return it == leaves_.end() ? CpuidRegs{} : it->second;
    }
    FakeCpuid& MaxStandard(uint32_t max) {
        leaves_[0].eax = max;
        return *this;
    }
    FakeCpuid& Signature(uint32_t family, uint32_t model, uint32_t stepping, uint32_t brandIndex = 0) {
        leaves_[1] = {family << 8 | model << 4 | stepping, brandIndex, 0, 0x10};
        return *this;
    }
    FakeCpuid& Leaf(uint32_t leaf, CpuidRegs regs) {
        leaves_[leaf] = regs;
        return *this;
    }
    int Queries(uint32_t leaf) const { return queries_[leaf]; }

private:
    bool available_;
    std::map<uint32_t, CpuidRegs> leaves_;
    mutable std::map<uint32_t, int> queries_;
};

std::string NameOf(const FakeCpuid& cpuid) { return IdentifyProcessor(cpuid).name; }

TEST(SystemInfo, NamesIntelProcessorsByFamilyModelAndBrand) {
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(6, 8, 3, 3)), "Pentium III Xeon");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(6, 8, 3, 0)), "Pentium III");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(6, 8, 3, 1)), "Celeron");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(6, 15, 2)), "P6 (Model 15)");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(7, 0, 0)), "Intel(Family:7 Model:0 Stepping:0)");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(4, 6, 0)), "Intel 486 Processor");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(4, 7, 0)), "Write-Back Enhanced Intel DX2 Processor");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(5, 2, 0)), "Pentium");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(15, 2, 9, 14)), "Xeon");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").Signature(15, 2, 9, 0)), "Pentium 4");

    const CpuInfo info = IdentifyProcessor(FakeCpuid("GenuineIntel").Signature(6, 8, 3, 3));
    EXPECT_EQ(info.vendorName, "Intel");
    EXPECT_EQ(info.vendor, kVendorIntel);
    EXPECT_EQ(info.family, 6);
    EXPECT_EQ(info.model, 8);
    EXPECT_EQ(info.stepping, 3);
    EXPECT_EQ(info.features & kTimeStampCounterFeature, kTimeStampCounterFeature);
}

TEST(SystemInfo, IntelCacheDescriptorsComeFromTheLastLeafTwoCall) {
    // Leaf 2 asks for two calls; the fake answers both alike, with a 1 MB second-level cache.
    FakeCpuid xeon("GenuineIntel");
    xeon.MaxStandard(2).Signature(6, 7, 1).Leaf(2, {0x00004402, 0, 0, 0});
    const CpuInfo info = IdentifyProcessor(xeon);
    EXPECT_TRUE(info.hasCacheDescriptors);
    EXPECT_EQ(xeon.Queries(2), 2);
    EXPECT_EQ(info.l2CacheKB, 1024u);
    EXPECT_EQ(info.name, "Pentium III Xeon");

    // A call count of 0 keeps no descriptors: no second-level cache, a Celeron.
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").MaxStandard(2).Signature(6, 5, 0).Leaf(2, {0x00004400, 0, 0, 0})),
              "Celeron");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").MaxStandard(2).Signature(6, 5, 0).Leaf(2, {0x00004301, 0, 0, 0})),
              "Pentium II");
    EXPECT_EQ(NameOf(FakeCpuid("GenuineIntel").MaxStandard(2).Signature(6, 6, 0).Leaf(2, {0x00004101, 0, 0, 0})),
              "Celeron");
}

TEST(SystemInfo, TheLastKnownCacheDescriptorWins) {
    std::array<uint8_t, 16> bytes{};
    EXPECT_EQ(IntelL2CacheKB(bytes), 0u);
    bytes[0] = 0x45;  // the call count, never a descriptor
    EXPECT_EQ(IntelL2CacheKB(bytes), 0u);
    bytes[3] = 0x45;
    bytes[7] = 0x42;
    bytes[9] = 0x7A;  // unknown: leaves the size as it was
    EXPECT_EQ(IntelL2CacheKB(bytes), 256u);
    bytes[15] = 0x40;
    EXPECT_EQ(IntelL2CacheKB(bytes), 0u);
}

TEST(SystemInfo, AmdWithExtendedLeavesKeepsItsBrandString) {
    const std::string brand = std::string("  AMD EPYC 7B13 64-Core Processor") + std::string(15, ' ');
    ASSERT_EQ(brand.size(), 48u);
    uint32_t words[12];
    std::memcpy(words, brand.data(), 48);
    FakeCpuid amd("AuthenticAMD");
    amd.MaxStandard(13).Signature(15, 1, 1);
    amd.Leaf(0x80000000, {0x80000004, 0, 0, 0}).Leaf(0x80000001, {0x00000F11, 0, 0, 0x10});
    for (uint32_t i = 0; i < 3; ++i) {
        amd.Leaf(0x80000002 + i, {words[4 * i], words[4 * i + 1], words[4 * i + 2], words[4 * i + 3]});
    }
    const CpuInfo info = IdentifyProcessor(amd);
    EXPECT_TRUE(info.extended);
    EXPECT_FALSE(info.hasCacheDescriptors);
    EXPECT_EQ(info.name, brand);
    EXPECT_EQ(info.vendorName, "AMD");
    EXPECT_EQ(info.vendor, kVendorAmd);
    EXPECT_EQ(amd.Queries(1), 0) << "the extended path replaces the standard one";
}

TEST(SystemInfo, AmdAndCyrixWithoutExtendedLeavesUseTheirTables) {
    EXPECT_EQ(NameOf(FakeCpuid("AuthenticAMD").Signature(5, 5, 0)), "Unknown AMD Model (5)");
    EXPECT_EQ(NameOf(FakeCpuid("AuthenticAMD").Signature(5, 8, 0)), "AMD-K6(R) -2");
    EXPECT_EQ(NameOf(FakeCpuid("AuthenticAMD").Signature(4, 3, 0)), "Am486(R) or Am5x86");
    EXPECT_EQ(NameOf(FakeCpuid("AuthenticAMD").Signature(6, 2, 1)), "AMD(Family:6 Model:2 Stepping:1)");
    EXPECT_EQ(NameOf(FakeCpuid("CyrixInstead").Signature(3, 0, 0)), "3x86");
    EXPECT_EQ(NameOf(FakeCpuid("CyrixInstead").Signature(5, 4, 0)), "Cyrix GXm");
    EXPECT_EQ(NameOf(FakeCpuid("CyrixInstead").Signature(5, 3, 0)), "");
    EXPECT_EQ(NameOf(FakeCpuid("CyrixInstead").Signature(6, 0, 0)), "6x86MX");
    EXPECT_EQ(IdentifyProcessor(FakeCpuid("CyrixInstead").Signature(4, 0, 0)).vendorName, "Cyrix");
}

TEST(SystemInfo, OtherVendorsAndNoCpuid) {
    const CpuInfo crusoe = IdentifyProcessor(FakeCpuid("GenuineTMx86").Signature(5, 4, 3));
    EXPECT_EQ(crusoe.name, "Crusoe");
    EXPECT_EQ(crusoe.vendor, kVendorTransmeta);
    EXPECT_EQ(NameOf(FakeCpuid("HygonGenuine").Signature(6, 1, 0)), "Unknown");

    const CpuInfo none = IdentifyProcessor(FakeCpuid("GenuineIntel", false));
    EXPECT_FALSE(none.hasCpuid);
    EXPECT_EQ(none.family, 4);
    EXPECT_EQ(none.name, "Unknown");
    EXPECT_EQ(none.vendorName, "Unknown");
}

TEST(SystemInfo, FormatsTheSystemLine) {
    EXPECT_EQ(FormatSystemText(2, 6, 1, 7601, "Service Pack 1"), "Windows NT 6.1 Build: 7601 Service Pack 1");
    EXPECT_EQ(FormatSystemText(2, 10, 0, 19045, ""), "Windows NT 10.0 Build: 19045 ");
    // Windows 9x keeps version numbers in the high word of the build number.
    EXPECT_EQ(FormatSystemText(1, 4, 10, 0x040A0B2C, " A "), "Windows 4.10 Build: 2860  A ");
}

TEST(SystemInfo, FormatsTheProcessorAndMemoryLines) {
    EXPECT_EQ(FormatProcessorText(2, "Pentium 4", 2793), "2x Pentium 4, 2793 MHz");
    EXPECT_EQ(FormatProcessorText(1, "Pentium III", 0), "Pentium III, 0 MHz");
    EXPECT_EQ(FormatProcessorText(4, std::string("Celeron\0junk", 12), -1), "4x Celeron, -1 MHz");
    EXPECT_EQ(FormatMemoryText(812, 2047, 9344, 1021, 1344), "812 of 2047 MB, Allocated 9344 (1021 of 1344) KB");
}

TEST(SystemInfo, SpeedRoundsStopWhenThreeAgreeOrAfterTwenty) {
    // 10 MHz counter: 1000 ticks are 100 microseconds.
    SpeedRounds steady(10000000);
    while (!steady.Done())
        steady.AddRound(300000, 1000);
    EXPECT_EQ(steady.rounds(), 3);
    EXPECT_EQ(steady.Result().rawMHz, 3000);
    EXPECT_DOUBLE_EQ(steady.Result().totalMicroseconds, 300.0);
    EXPECT_EQ(steady.Result().totalCycles, 900000u);

    SpeedRounds settling(10000000);
    const uint64_t cycles[] = {250000, 300000, 310000, 300000, 300100, 300200};
    for (uint64_t c : cycles) {
        ASSERT_FALSE(settling.Done());
        settling.AddRound(c, 1000);
    }
    EXPECT_TRUE(settling.Done());  // 3000, 3001, 3002 agree within 3
    EXPECT_EQ(settling.rounds(), 6);

    SpeedRounds noisy(10000000);
    for (int i = 0; !noisy.Done(); ++i)
        noisy.AddRound(i % 2 ? 200000 : 400000, 1000);
    EXPECT_EQ(noisy.rounds(), SpeedRounds::kMaxRounds);
    EXPECT_EQ(noisy.Result().rawMHz, 3000);
}

TEST(SpeedRounds, RoundsHalvesToEvenAndSurvivesMissingTime) {
    SpeedRounds halves(1000000);  // 1 MHz counter: a tick is a microsecond
    halves.AddRound(2500, 1000);  // 2.5 MHz
    EXPECT_EQ(halves.Result().rawMHz, 2);
    halves.AddRound(1000, 0);  // a round without elapsed ticks
    halves.AddRound(1000, 0);
    EXPECT_FALSE(halves.Done());
    SpeedRounds none(1000000);
    EXPECT_EQ(none.Result().rawMHz, -1);
}

}  // namespace
