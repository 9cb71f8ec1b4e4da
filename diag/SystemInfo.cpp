#include "diag/SystemInfo.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

constexpr uint32_t kExtendedBase = 0x80000000;
constexpr size_t kNameLimit = 48;
constexpr double kUnknownFrequencyMicroseconds = 9.223372036854776e18;
constexpr int64_t kAgreementMHz = 3;

std::string RegisterChars(std::initializer_list<uint32_t> registers) {
    std::string text;
    for (uint32_t value : registers) {
        for (int i = 0; i < 4; ++i)
            text += static_cast<char>((value >> (8 * i)) & 0xFF);
    }
    return text;
}

std::string UpToZero(const std::string& text) { return text.substr(0, text.find('\0')); }

std::string Numbered(const char* vendor, const CpuInfo& info) {
    return std::string(vendor) + "(Family:" + std::to_string(info.family) + " Model:" + std::to_string(info.model) +
           " Stepping:" + std::to_string(info.stepping) + ")";
}

bool IsLargeCache(uint32_t kb) { return kb == 1024 || kb == 2048; }

std::string IntelName(const CpuInfo& info) {
    switch (info.family) {
        case 4:
            switch (info.model) {
                case 1:
                    return "Intel 486DX Processor";
                case 2:
                    return "Intel 486SX Processor";
                case 3:
                    return "Intel DX2 Processor";
                case 5:
                    return "Intel SX2 Processor";
                case 7:
                    return "Write-Back Enhanced Intel DX2 Processor";
                case 8:
                    return "Intel DX4 Processor";
                default:
                    return "Intel 486 Processor";
            }
        case 5:
            return "Pentium";
        case 6:
            switch (info.model) {
                case 1:
                    return "Pentium Pro";
                case 3:
                    return "Pentium II";
                case 5:
                    return info.l2CacheKB == 0            ? "Celeron"
                           : IsLargeCache(info.l2CacheKB) ? "Pentium II Xeon"
                                                          : "Pentium II";
                case 6:
                    return info.l2CacheKB == 0 || info.l2CacheKB == 128 ? "Celeron" : "Pentium II";
                case 7:
                    return IsLargeCache(info.l2CacheKB) ? "Pentium III Xeon" : "Pentium III";
                case 8:
                    return info.brandIndex == 1 ? "Celeron" : info.brandIndex == 3 ? "Pentium III Xeon" : "Pentium III";
                case 10:
                    return "Pentium III Xeon";
                case 11:
                    return "Pentium III";
                default:
                    return "P6 (Model " + std::to_string(info.model) + ")";
            }
        case 15:
            return info.brandIndex == 1 ? "Celeron" : info.brandIndex == 14 ? "Xeon" : "Pentium 4";
        default:
            return Numbered("Intel", info);
    }
}

std::string AmdName(const CpuInfo& info) {
    if (info.extended) return info.name;
    if (info.family == 4) return "Am486(R) or Am5x86";
    if (info.family != 5) return Numbered("AMD", info);
    switch (info.model) {
        case 0:
            return "AMD-K5 (Model 0)";
        case 1:
            return "AMD-K5 (Model 1)";
        case 2:
            return "AMD-K5 (Model 2)";
        case 3:
            return "AMD-K5 (Model 3)";
        case 6:
            return "AMD-K6(R)";
        case 7:
            return "AMD-K6";
        case 8:
            return "AMD-K6(R) -2";
        case 9:
            return "AMD-K6(R) -3";
        default:
            return "Unknown AMD Model (" + std::to_string(info.model) + ")";
    }
}

std::string CyrixName(const CpuInfo& info) {
    if (info.extended) return info.name;
    switch (info.family) {
        case 4:
            return "Cyrix MediaGX";
        case 5:
            return info.model == 2 ? "Cyrix 6x86" : info.model == 4 ? "Cyrix GXm" : "";
        case 6:
            return "6x86MX";
        default:
            return std::to_string(info.family) + "x86";
    }
}

void ReadExtendedLeaves(const CpuidSource& cpuid, uint32_t maxExtended, CpuInfo& info) {
    if (maxExtended < kExtendedBase + 1) return;
    info.extended = true;
    const CpuidRegs id = cpuid.Query(kExtendedBase + 1);
    info.cpuType = static_cast<uint8_t>((id.eax >> 12) & 0xF);
    info.family = static_cast<uint8_t>((id.eax >> 8) & 0xF);
    info.model = static_cast<uint8_t>((id.eax >> 4) & 0xF);
    info.stepping = static_cast<uint8_t>(id.eax & 0xF);
    info.features = id.edx;
    // Each brand leaf holds 16 characters of the name; a processor with fewer leaves has a shorter name.
    std::string brand;
    for (uint32_t leaf = kExtendedBase + 2; leaf <= kExtendedBase + 4 && leaf <= maxExtended; ++leaf) {
        const CpuidRegs r = cpuid.Query(leaf);
        brand += RegisterChars({r.eax, r.ebx, r.ecx, r.edx});
    }
    info.name = UpToZero(brand);
    if (maxExtended < kExtendedBase + 5) return;
    info.hasCacheDescriptors = true;
    info.amdCache = cpuid.Query(kExtendedBase + 5);
}

void ReadStandardLeaves(const CpuidSource& cpuid, uint32_t maxStandard, CpuInfo& info) {
    if (maxStandard < 1) return;
    const CpuidRegs id = cpuid.Query(1);
    info.features = id.edx;
    info.brandIndex = static_cast<uint8_t>(id.ebx & 0xFF);
    info.cpuType = static_cast<uint8_t>((id.eax >> 12) & 0x3);
    info.family = static_cast<uint8_t>((id.eax >> 8) & 0xF);
    info.model = static_cast<uint8_t>((id.eax >> 4) & 0xF);
    info.stepping = static_cast<uint8_t>(id.eax & 0xF);
    if (info.vendorId != "GenuineIntel" || maxStandard < 2) return;
    info.hasCacheDescriptors = true;
    CpuidRegs r = cpuid.Query(2);
    const uint32_t calls = r.eax & 0xFF;
    if (calls == 0) return;
    for (uint32_t call = 1; call < calls; ++call)
        r = cpuid.Query(2);
    const std::string bytes = RegisterChars({r.eax, r.ebx, r.ecx, r.edx});
    std::memcpy(info.cacheDescriptors.data(), bytes.data(), info.cacheDescriptors.size());
}

}  // namespace

uint32_t IntelL2CacheKB(const std::array<uint8_t, 16>& descriptors) {
    uint32_t kb = 0;
    for (size_t i = 1; i < descriptors.size(); ++i) {
        switch (descriptors[i]) {
            case 0x40:
                kb = 0;
                break;
            case 0x41:
                kb = 128;
                break;
            case 0x42:
                kb = 256;
                break;
            case 0x43:
                kb = 512;
                break;
            case 0x44:
                kb = 1024;
                break;
            case 0x45:
                kb = 2048;
                break;
            default:
                break;
        }
    }
    return kb;
}

void NameProcessor(CpuInfo& info) {
    if (info.vendorId == "GenuineIntel") {
        info.vendorName = "Intel";
        info.vendor = kVendorIntel;
        if (info.hasCacheDescriptors) info.l2CacheKB = IntelL2CacheKB(info.cacheDescriptors);
        info.name = IntelName(info);
    } else if (info.vendorId == "CyrixInstead") {
        info.vendorName = "Cyrix";
        info.vendor = kVendorCyrix;
        info.name = CyrixName(info);
    } else if (info.vendorId == "AuthenticAMD") {
        info.vendorName = "AMD";
        info.vendor = kVendorAmd;
        info.name = AmdName(info);
    } else if (info.vendorId == "GenuineTMx86") {
        info.vendorName = "Transmeta";
        info.vendor = kVendorTransmeta;
        info.name = "Crusoe";
    } else {
        info.vendorName = "Unknown";
        info.name = "Unknown";
    }
    if (info.name.size() > kNameLimit) info.name.resize(kNameLimit);
}

CpuInfo IdentifyProcessor(const CpuidSource& cpuid) {
    CpuInfo info;
    if (!cpuid.Available()) {
        NameProcessor(info);
        return info;
    }
    info.hasCpuid = true;
    const CpuidRegs leaf0 = cpuid.Query(0);
    const uint32_t maxStandard = leaf0.eax;
    info.vendorId = RegisterChars({leaf0.ebx, leaf0.edx, leaf0.ecx});
    bool extendedPath = false;
    if (info.vendorId == "AuthenticAMD" || info.vendorId == "CyrixInstead") {
        const uint32_t maxExtended = cpuid.Query(kExtendedBase).eax;
        if (maxExtended != 0) {
            extendedPath = true;
            ReadExtendedLeaves(cpuid, maxExtended, info);
        }
    }
    if (!extendedPath) ReadStandardLeaves(cpuid, maxStandard, info);
    NameProcessor(info);
    return info;
}

void SpeedRounds::AddRound(uint64_t cycles, int64_t ticks) {
    ++rounds_;
    m3_ = m2_;
    m2_ = m1_;
    const double microseconds =
        frequency_ == 0 ? kUnknownFrequencyMicroseconds : static_cast<double>(ticks) * 100000.0 / (frequency_ / 10.0);
    totalCycles_ += cycles;
    totalMicroseconds_ += microseconds;
    m1_ = microseconds == 0 ? INT64_MAX
                            : static_cast<int64_t>(std::nearbyint(static_cast<double>(cycles) / microseconds));
}

bool SpeedRounds::Done() const {
    if (rounds_ < kMinRounds) return false;
    if (rounds_ >= kMaxRounds) return true;
    // In doubles: a round without elapsed time stands for INT64_MAX, and the sum would overflow.
    const double sum = static_cast<double>(m1_) + static_cast<double>(m2_) + static_cast<double>(m3_);
    for (int64_t m : {m1_, m2_, m3_}) {
        if (std::fabs(3.0 * static_cast<double>(m) - sum) > kAgreementMHz) return false;
    }
    return true;
}

CpuSpeed SpeedRounds::Result() const {
    CpuSpeed speed;
    speed.totalCycles = totalCycles_;
    speed.totalMicroseconds = totalMicroseconds_;
    speed.rawMHz = totalMicroseconds_ == 0
                       ? -1
                       : static_cast<int32_t>(std::nearbyint(static_cast<double>(totalCycles_) / totalMicroseconds_));
    return speed;
}

std::string FormatSystemText(uint32_t platformId,
                             uint32_t major,
                             uint32_t minor,
                             uint32_t build,
                             const std::string& servicePack) {
    constexpr uint32_t kPlatformNt = 2;
    const bool nt = platformId == kPlatformNt;
    return std::string(nt ? "Windows NT " : "Windows ") + std::to_string(major) + "." + std::to_string(minor) +
           " Build: " + std::to_string(nt ? build : build & 0xFFFF) + " " + servicePack;
}

std::string FormatProcessorText(uint32_t processorCount, const std::string& name, int32_t rawMHz) {
    const std::string prefix = processorCount == 1 ? "" : std::to_string(processorCount) + "x ";
    return prefix + UpToZero(name).substr(0, kNameLimit) + ", " + std::to_string(rawMHz) + " MHz";
}

std::string FormatMemoryText(uint64_t availableMB,
                             uint64_t totalMB,
                             uint64_t workingSetKB,
                             uint64_t heapUsedKB,
                             uint64_t heapTotalKB) {
    return std::to_string(availableMB) + " of " + std::to_string(totalMB) + " MB, Allocated " +
           std::to_string(workingSetKB) + " (" + std::to_string(heapUsedKB) + " of " + std::to_string(heapTotalKB) +
           ") KB";
}
