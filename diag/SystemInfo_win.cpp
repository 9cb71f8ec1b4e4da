#include "diag/SystemInfo_win.h"

#include <windows.h>

#include <cpuid.h>
#include <malloc.h>
#include <x86intrin.h>

#include "app/DynCalls_win.h"
#include "app/Handles.h"

namespace {

constexpr LONGLONG kSettleTicks = 50;
constexpr LONGLONG kRoundTicks = 1000;

// The layout of psapi's PROCESS_MEMORY_COUNTERS, which is not included for one field.
struct ProcessMemoryCounters {
    DWORD cb;
    DWORD PageFaultCount;
    SIZE_T PeakWorkingSetSize;
    SIZE_T WorkingSetSize;
    SIZE_T QuotaPeakPagedPoolUsage;
    SIZE_T QuotaPagedPoolUsage;
    SIZE_T QuotaPeakNonPagedPoolUsage;
    SIZE_T QuotaNonPagedPoolUsage;
    SIZE_T PagefileUsage;
    SIZE_T PeakPagefileUsage;
};

class HardwareCpuid : public CpuidSource {
public:
    // On 32-bit processors this includes the test whether bit 21 of EFLAGS can be flipped.
    bool Available() const override { return __get_cpuid_max(0, nullptr) != 0; }
    CpuidRegs Query(uint32_t leaf) const override {
        CpuidRegs r;
        __cpuid(leaf, r.eax, r.ebx, r.ecx, r.edx);
        return r;
    }
};

LONGLONG PerformanceCounter() {
    LARGE_INTEGER value;
    QueryPerformanceCounter(&value);
    return value.QuadPart;
}

uint64_t PhysicalMemoryMB(bool available) {
    if (auto memoryStatusEx = DynKernel32().GlobalMemoryStatusEx) {
        MEMORYSTATUSEX status = {};
        status.dwLength = sizeof status;
        if (memoryStatusEx(&status)) return (available ? status.ullAvailPhys : status.ullTotalPhys) >> 20;
    }
    MEMORYSTATUS status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    return (available ? status.dwAvailPhys : status.dwTotalPhys) >> 20;
}

uint64_t WorkingSetKB() {
    auto getInfo = DynPsapi().GetProcessMemoryInfo;
    ProcessMemoryCounters counters = {};
    counters.cb = sizeof counters;
    if (!getInfo || !getInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.WorkingSetSize / 1024;
}

// The bytes the C run-time's heap has handed out, and those plus the free blocks it keeps.
void HeapBytes(uint64_t& used, uint64_t& total) {
    used = 0;
    total = 0;
    const auto heap = reinterpret_cast<HANDLE>(_get_heap_handle());
    if (!heap || !HeapLock(heap)) return;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) {
            used += entry.cbData;
            total += entry.cbData;
        } else if ((entry.wFlags & (PROCESS_HEAP_REGION | PROCESS_HEAP_UNCOMMITTED_RANGE)) == 0) {
            total += entry.cbData;
        }
    }
    HeapUnlock(heap);
}

}  // namespace

std::string SystemText() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExA(&version);
    return FormatSystemText(version.dwPlatformId, version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber,
                            std::string(version.szCSDVersion, strnlen(version.szCSDVersion, 127)));
}

bool MeasureCpuSpeed(CpuInfo& info) {
    LARGE_INTEGER frequency;
    if (!QueryPerformanceFrequency(&frequency)) return false;
    SpeedRounds rounds(frequency.QuadPart);
    do {
        LONGLONG t0 = PerformanceCounter();
        LONGLONG t1 = t0;
        uint64_t s0 = 0;
        uint64_t s1 = 0;
        {
            ScopedThreadPriority critical(THREAD_PRIORITY_TIME_CRITICAL);
            // Start on a fresh counter tick so that every round measures whole ticks.
            do {
                t1 = PerformanceCounter();
                s0 = __rdtsc();
            } while (t1 - t0 < kSettleTicks);
            t0 = t1;
            do {
                t1 = PerformanceCounter();
                s1 = __rdtsc();
            } while (t1 - t0 < kRoundTicks);
        }
        rounds.AddRound(s1 - s0, t1 - t0);
    } while (!rounds.Done());
    info.speed = rounds.Result();
    return true;
}

CpuInfo IdentifyProcessor() {
    CpuInfo info = IdentifyProcessor(HardwareCpuid());
    if (info.hasCpuid && (info.features & kTimeStampCounterFeature)) MeasureCpuSpeed(info);
    return info;
}

std::string ProcessorText() {
    try {
        SYSTEM_INFO system = {};
        GetSystemInfo(&system);
        const CpuInfo info = IdentifyProcessor();
        return FormatProcessorText(system.dwNumberOfProcessors, info.name, info.speed.rawMHz);
    } catch (...) {
        return "failed";
    }
}

std::string MemoryText() {
    try {
        uint64_t heapUsed = 0;
        uint64_t heapTotal = 0;
        HeapBytes(heapUsed, heapTotal);
        return FormatMemoryText(PhysicalMemoryMB(true), PhysicalMemoryMB(false), WorkingSetKB(), heapUsed >> 10,
                                heapTotal >> 10);
    } catch (...) {
        return "err";
    }
}
