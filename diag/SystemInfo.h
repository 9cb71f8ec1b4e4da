// Processor identification and the texts of the report's version, system, processor and memory
// lines. The CPUID answers come from a source, so the naming tables are tested natively with the
// answers of processors this machine is not.
#pragma once

#include <array>
#include <cstdint>
#include <string>

struct CpuidRegs {
    uint32_t eax = 0;
    uint32_t ebx = 0;
    uint32_t ecx = 0;
    uint32_t edx = 0;
};

class CpuidSource {
public:
    virtual ~CpuidSource() = default;
    // False when the processor has no CPUID instruction.
    virtual bool Available() const = 0;
    virtual CpuidRegs Query(uint32_t leaf) const = 0;
};

enum CpuVendor : uint8_t {
    kVendorUnknown = 0,
    kVendorIntel = 1,
    kVendorCyrix = 2,
    kVendorAmd = 3,
    kVendorTransmeta = 4
};

struct CpuSpeed {
    int32_t rawMHz = 0;
    uint64_t totalCycles = 0;
    double totalMicroseconds = 0;
};

struct CpuInfo {
    bool hasCpuid = false;
    bool hasCacheDescriptors = false;
    bool extended = false;  // AMD or Cyrix extended leaves were used
    uint8_t vendor = kVendorUnknown;
    uint8_t cpuType = 0;
    uint8_t family = 4;  // what a processor without CPUID is taken for
    uint8_t model = 0;
    uint8_t stepping = 0;
    uint32_t features = 0;  // EDX of the identification leaf used
    CpuSpeed speed;
    std::string vendorId;                        // the 12 characters of leaf 0
    std::string vendorName;                      // "Intel", "AMD", "Cyrix", "Transmeta" or "Unknown"
    std::string name;                            // at most 48 characters
    std::array<uint8_t, 16> cacheDescriptors{};  // Intel leaf 2, last call; byte 0 is the call count
    CpuidRegs amdCache;                          // leaf 0x80000005, kept but not shown
    uint32_t l2CacheKB = 0;
    uint8_t brandIndex = 0;
};

constexpr uint32_t kTimeStampCounterFeature = 0x10;

// Everything but the speed, from the answers of `cpuid`.
CpuInfo IdentifyProcessor(const CpuidSource& cpuid);
// Fills vendorName, vendor and name from vendorId and the identification fields.
void NameProcessor(CpuInfo& info);
// The second-level cache size the Intel descriptor bytes 1 to 15 announce; the last match wins.
uint32_t IntelL2CacheKB(const std::array<uint8_t, 16>& descriptors);

// The clock-speed measurement's bookkeeping: rounds of time-stamp cycles against performance-counter
// ticks, repeated until three rounds in a row agree within 3 MHz, at least 3 and at most 20.
class SpeedRounds {
public:
    explicit SpeedRounds(int64_t frequency) : frequency_(frequency) {}
    void AddRound(uint64_t cycles, int64_t ticks);
    bool Done() const;
    int rounds() const { return rounds_; }
    CpuSpeed Result() const;

    static constexpr int kMinRounds = 3;
    static constexpr int kMaxRounds = 20;

private:
    int64_t frequency_;
    int rounds_ = 0;
    int64_t m1_ = 0;
    int64_t m2_ = 0;
    int64_t m3_ = 0;
    uint64_t totalCycles_ = 0;
    double totalMicroseconds_ = 0;
};

// "Windows NT 5.1 Build: 2600 Service Pack 3"; outside the NT family (platform id 2) the build
// number keeps only its low 16 bits.
std::string FormatSystemText(uint32_t platformId,
                             uint32_t major,
                             uint32_t minor,
                             uint32_t build,
                             const std::string& servicePack);
// "2x Pentium 4, 2793 MHz"; one processor gets no count.
std::string FormatProcessorText(uint32_t processorCount, const std::string& name, int32_t rawMHz);
// "812 of 2047 MB, Allocated 9344 (1021 of 1344) KB".
std::string FormatMemoryText(uint64_t availableMB,
                             uint64_t totalMB,
                             uint64_t workingSetKB,
                             uint64_t heapUsedKB,
                             uint64_t heapTotalKB);
