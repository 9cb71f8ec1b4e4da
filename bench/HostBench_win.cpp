// Times the rotation host under Wine with the real vantora.scr:
//  - start-up overhead: from starting "vantora.scr /s" to the start of its first screensaver, over
//    the same for a bare launcher that only starts that screensaver, with 200 catalogued savers;
//  - supervision cost: the host's CPU time and peak working set while a screensaver runs;
//  - time to a covered screen: from starting "vantora.scr /s" to the first frame of the X screen in
//    which a window standing for the desktop shows nowhere, read by the Linux screen sampler.
// It prints figures only; the targets are for the reader to compare.
// Usage: host_bench [SUPERVISED_SECONDS]   (default 60)
//        host_bench --prepare   only installs the 200 catalogued savers, for timing a start by hand
#include <windows.h>

#include <psapi.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/Text.h"
#include "bench/BenchSupport_win.h"
#include "catalogue/SaverList.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/ScreenSampler.h"
#include "tests/wine/WineTest.h"

namespace {

constexpr int kSavers = 200;
constexpr int kWarmUps = 2;
constexpr int kRounds = 40;
constexpr int kFirstTimeRounds = 6;
constexpr int kCoveredRounds = 10;
constexpr DWORD kRunTimeoutMs = 30000;
constexpr char kFixtureClass[] = "VantoraFixture";

std::string SystemFolder() {
    char buffer[MAX_PATH] = {};
    GetSystemDirectoryA(buffer, MAX_PATH);
    return buffer;
}

const std::string kSystem = SystemFolder();
const std::string kInstall = "C:\\vantora-bench";

std::string SaverPath(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\bs_%03d.scr", i);
    return kSystem + name;
}

std::string StampFile() { return TempFolder() + "vantora-bench-stamp.txt"; }
std::string ListFile() { return AppDataFolder() + "\\Vantora\\saverlist.dat"; }
std::string HostCommand() { return "\"" + BinFolder() + "\\vantora.scr\" /s"; }

// Waits for the process and closes it; its exit code, or -1 when it had to be terminated.
int Finish(HANDLE process) {
    DWORD code = 0;
    if (WaitForSingleObject(process, kRunTimeoutMs) != WAIT_OBJECT_0) {
        TerminateProcess(process, 1);
        code = static_cast<DWORD>(-1);
    } else {
        GetExitCodeProcess(process, &code);
    }
    CloseHandle(process);
    return static_cast<int>(code);
}

// Milliseconds from the launcher's start to the child's stamp; both launchers wait for their
// child, so the stamp is complete once the launcher has ended.
double TimedRun(const std::string& commandLine, const char* what) {
    DeleteFileA(StampFile().c_str());
    // The last run's processes are gone, but Wine and the X server may still be tidying after them.
    Sleep(150);
    const Started run = Start(commandLine);
    const int code = Finish(run.process);
    if (code != 0) std::printf("  (warning: %s exited with %d)\n", what, code);
    const std::string stamp = ReadWholeFile(StampFile());
    if (stamp.empty()) {
        std::printf("%s started no screensaver\n", what);
        std::exit(1);
    }
    return CounterMs(std::strtoll(stamp.c_str(), nullptr, 10) - run.startCounter);
}

// The path the host started last, from "Prev" ("index?path").
std::string LastStarted() {
    const std::string prev = ReadSettingString("Prev");
    const size_t mark = prev.find('?');
    return mark == std::string::npos ? std::string() : prev.substr(mark + 1);
}

double BareRun(const char* launcher, const std::string& saverPath) {
    return TimedRun("\"" + BinFolder() + "\\" + launcher + "\" \"" + saverPath + "\" /s", launcher);
}

void WriteCatalogue() {
    TSaverList list;
    for (int i = 0; i < kSavers; ++i) {
        char description[32];
        std::snprintf(description, sizeof description, "Bench saver %03d", i);
        list.Add(MakeSaverItem(description, SaverPath(i)));
    }
    list.SaveToFile(ListFile());
}

void PrintRatio(const char* what, const std::vector<double>& host, const std::vector<double>& bare) {
    std::vector<double> ratios;
    for (size_t i = 0; i < host.size(); ++i)
        ratios.push_back(host[i] / bare[i]);
    std::printf("  %s: ratio of medians %.3f, median of pair ratios %.3f\n", what, Median(host) / Median(bare),
                Median(ratios));
}

// Interleaved runs of the host and of the bare launchers on the same screensaver; prints each
// round, the medians and the ratios. The launcher that imports vantora.scr's system DLLs shows
// how much of the difference is the loading of those DLLs rather than the host's own work.
void MeasureStart(const char* title, int rounds, bool firstTime) {
    std::printf("\n%s: %d rounds after %d warm-up rounds\n", title, rounds, kWarmUps);
    std::vector<double> host, bare, bareDlls;
    for (int i = -kWarmUps; i < rounds; ++i) {
        if (firstTime) DeleteFileA(ListFile().c_str());
        const double hostMs = TimedRun(HostCommand(), "vantora.scr");
        const std::string saver = LastStarted();
        const double bareMs = BareRun("barelaunch.exe", saver);
        const double dllsMs = BareRun("barelaunch_dlls.exe", saver);
        if (i < 0) continue;
        host.push_back(hostMs);
        bare.push_back(bareMs);
        bareDlls.push_back(dllsMs);
        std::printf("  round %2d: vantora %7.2f ms   bare %7.2f ms   (bare with vantora's DLLs %7.2f ms)   %s\n", i + 1,
                    hostMs, bareMs, dllsMs, std::string(FileNameOf(saver)).c_str());
    }
    std::printf("  median: vantora %.2f ms, bare %.2f ms, bare with vantora's DLLs %.2f ms\n", Median(host),
                Median(bare), Median(bareDlls));
    std::printf("  minimum: vantora %.2f ms, bare %.2f ms, bare with vantora's DLLs %.2f ms\n",
                *std::min_element(host.begin(), host.end()), *std::min_element(bare.begin(), bare.end()),
                *std::min_element(bareDlls.begin(), bareDlls.end()));
    PrintRatio("vantora / bare (target <= 1.10)", host, bare);
    PrintRatio("vantora / bare with vantora's DLLs", host, bareDlls);
}

double FileTimeMs(const FILETIME& time) {
    ULARGE_INTEGER value;
    value.LowPart = time.dwLowDateTime;
    value.HighPart = time.dwHighDateTime;
    return static_cast<double>(value.QuadPart) / 10000.0;
}

double CpuMs(HANDLE process) {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

// The head of a SYSTEM_PROCESS_INFORMATION entry as Windows lays it out; winternl.h hides the times.
struct ProcessEntryHead {
    ULONG NextEntryOffset;
    ULONG NumberOfThreads;
    LARGE_INTEGER WorkingSetPrivateSize;
    ULONG HardFaultCount;
    ULONG NumberOfThreadsHighWatermark;
    ULONGLONG CycleTime;
    LARGE_INTEGER CreateTime;
    LARGE_INTEGER UserTime;
    LARGE_INTEGER KernelTime;
    UNICODE_STRING ImageName;
    LONG BasePriority;
    HANDLE UniqueProcessId;
};
static_assert(offsetof(ProcessEntryHead, UniqueProcessId) == offsetof(SYSTEM_PROCESS_INFORMATION, UniqueProcessId),
              "process entry layout");

// CPU milliseconds of a running process from the system's process list, which Task Manager reads
// too. Wine 8 answers GetProcessTimes on another process's handle with the caller's own times;
// the list has the right ones. -1 when the process is not listed.
double ListedCpuMs(DWORD processId) {
    std::vector<unsigned char> buffer(1 << 18);
    ULONG needed = 0;
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SystemProcessInformation, buffer.data(),
                                              static_cast<ULONG>(buffer.size()), &needed)) ==
           static_cast<NTSTATUS>(0xC0000004L)) {  // STATUS_INFO_LENGTH_MISMATCH
        buffer.resize(std::max<size_t>(buffer.size() * 2, needed + 4096));
    }
    if (status < 0) return -1;
    for (size_t offset = 0;;) {
        ProcessEntryHead entry;
        std::memcpy(&entry, buffer.data() + offset, sizeof entry);
        if (reinterpret_cast<uintptr_t>(entry.UniqueProcessId) == processId) {
            return static_cast<double>(entry.KernelTime.QuadPart + entry.UserTime.QuadPart) / 10000.0;
        }
        if (entry.NextEntryOffset == 0) return -1;
        offset += entry.NextEntryOffset;
    }
}

bool UnderWine() { return GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

HWND WaitForWindow(const char* className, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    HWND window = nullptr;
    while (!(window = FindWindowA(className, nullptr)) && GetTickCount() - start < timeoutMs)
        Sleep(20);
    return window;
}

const std::string kRunner = kSystem + "\\bench_run.scr";

// In place of the 200 catalogued savers: one fixture that runs until it is closed.
void InstallRunner() {
    for (int i = 0; i < kSavers; ++i)
        DeleteFileA(SaverPath(i).c_str());
    DeleteFileA(ListFile().c_str());
    if (!CopyFileA((BinFolder() + "\\fixture.scr").c_str(), kRunner.c_str(), FALSE)) {
        std::printf("cannot install the fixture screensaver\n");
        std::exit(1);
    }
}

void MeasureSupervision(int seconds) {
    std::printf("\nsupervised run: one screensaver that runs until closed, no change timer, %d s\n", seconds);

    const Started host = Start(HostCommand());
    if (!WaitForWindow(kFixtureClass, kRunTimeoutMs)) {
        std::printf("the screensaver did not appear\n");
        TerminateProcess(host.process, 1);
        std::exit(1);
    }
    const double cpuBefore = ListedCpuMs(host.processId);
    const double handleCpuBefore = CpuMs(host.process);
    const LONGLONG wallBefore = Counter();
    Sleep(static_cast<DWORD>(seconds) * 1000);
    const double cpuAfter = ListedCpuMs(host.processId);
    const double handleCpuAfter = CpuMs(host.process);
    const double ownCpu = CpuMs(GetCurrentProcess());
    const double wallMs = CounterMs(Counter() - wallBefore);
    PROCESS_MEMORY_COUNTERS memory = {};
    memory.cb = sizeof memory;
    const bool haveMemory = GetProcessMemoryInfo(host.process, &memory, sizeof memory);
    DWORD code = 0;
    const bool running = GetExitCodeProcess(host.process, &code) && code == STILL_ACTIVE;

    // Ends the run the way a user would: the screensaver closes, the host notices and ends.
    const LONGLONG closeCounter = Counter();
    PostMessageA(FindWindowA(kFixtureClass, nullptr), WM_CLOSE, 0, 0);
    const bool ended = WaitForSingleObject(host.process, kRunTimeoutMs) == WAIT_OBJECT_0;
    const double endMs = CounterMs(Counter() - closeCounter);
    code = static_cast<DWORD>(-1);
    if (ended) GetExitCodeProcess(host.process, &code);
    if (!ended) TerminateProcess(host.process, 1);
    CloseHandle(host.process);

    std::printf("  host still supervising after %d s: %s\n", seconds, running ? "yes" : "NO");
    std::printf("  while supervising: CPU %.1f ms over %.1f ms wall = %.3f %% (target <= 0.5 %%)\n",
                cpuAfter - cpuBefore, wallMs, 100.0 * (cpuAfter - cpuBefore) / wallMs);
    std::printf("  start-up until the screensaver's window appeared: CPU %.1f ms\n", cpuBefore);
    std::printf("  GetProcessTimes on the host's handle: %.1f ms while supervising, %.1f ms in all",
                handleCpuAfter - handleCpuBefore, handleCpuAfter);
    if (handleCpuAfter == ownCpu) std::printf(" (this program's own CPU time, as Wine answers: not used)");
    std::printf("\n");
    if (UnderWine()) std::printf("  Wine counts CPU time in 10 ms clock ticks: 0 means less than one tick\n");
    if (haveMemory) {
        std::printf("  peak working set %.1f KiB, working set %.1f KiB, private %.1f KiB\n",
                    memory.PeakWorkingSetSize / 1024.0, memory.WorkingSetSize / 1024.0, memory.PagefileUsage / 1024.0);
    } else {
        std::printf("  peak working set: not available (error %lu)\n", GetLastError());
    }
    std::printf("  after the close: host %s in %.0f ms, exit code %lu\n", ended ? "ended" : "did NOT end", endMs, code);
}

// Each round shows the desktop stand-in again, starts the run and closes its screensaver.
void MeasureCoveredScreen(int rounds) {
    std::printf("\ntime to a covered screen: %d rounds, one screensaver that runs until closed\n", rounds);
    const HWND desktop = ShowDesktopStandIn();
    std::vector<double> covered;
    for (int i = 0; i < rounds; ++i) {
        ScreenSampler sampler(60);
        if (!sampler.WaitUntilReady()) {
            std::printf("the screen sampler did not see the desktop stand-in\n");
            std::exit(1);
        }
        sampler.Go();
        const Started host = Start(HostCommand());
        const bool shown = WaitForWindow(kFixtureClass, kRunTimeoutMs) != nullptr;
        // The window exists before it is drawn: the sampler goes on until it surely is. The time to
        // the first covered frame does not depend on when the sampler stops.
        Sleep(1000);
        const std::optional<SampledFrames> frames = sampler.Stop();
        CloseFixtures();
        Finish(host.process);
        if (!shown || !frames || frames->coveredMs < 0) {
            std::printf("  round %2d: no covered screen seen\n", i + 1);
            continue;
        }
        covered.push_back(frames->coveredMs);
        std::printf("  round %2d: covered after %7.1f ms (sampler at %.0f Hz)\n", i + 1, frames->coveredMs, frames->hz);
    }
    DestroyWindow(desktop);
    if (!covered.empty()) {
        std::printf("  median %.1f ms, minimum %.1f ms\n", Median(covered),
                    *std::min_element(covered.begin(), covered.end()));
    }
}

void Prepare() {
    DeleteRegistryTree("Software\\Kestrella\\Vantora");
    CreateDirectoryA(kInstall.c_str(), nullptr);
    TRegistry install(KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE);
    if (!install.OpenKey("\\Software\\Kestrella\\Vantora", true)) {
        std::printf("cannot write the install key\n");
        std::exit(1);
    }
    install.WriteString("Path", kInstall);
    WriteSettingString("Order", "1");  // Sequential, no change timer
    // The stamping saver exits at once, and the supervised one is closed without input: either ends the run.
    WriteSettingString("SkipFailed", "0");
    const std::string child = BinFolder() + "\\stampchild.scr";
    for (int i = 0; i < kSavers; ++i) {
        if (!CopyFileA(child.c_str(), SaverPath(i).c_str(), FALSE)) {
            std::printf("cannot copy %s\n", SaverPath(i).c_str());
            std::exit(1);
        }
    }
    SetEnvironmentVariableA("VANTORA_STAMP", StampFile().c_str());
    // The first start chooses the data folder and leaves its check for the second.
    TimedRun(HostCommand(), "vantora.scr");
    TimedRun(HostCommand(), "vantora.scr");
    if (ReadSettingString("pathind") != "1") std::printf("  (warning: data folder is not %%APPDATA%%\\Vantora)\n");
}

// Other work on the machine shows in every figure; under Wine the Linux load average tells how much.
void PrintMachineLoad() {
    const std::string load = ReadWholeFile("Z:\\proc\\loadavg");
    size_t end = 0;
    for (int field = 0; field < 3 && end != std::string::npos; ++field)
        end = load.find(' ', end + (field > 0));
    if (!load.empty()) std::printf("\nmachine load average (1, 5, 15 min): %s\n", load.substr(0, end).c_str());
}

}  // namespace

int main(int argc, char** argv) {
    const bool prepareOnly = argc > 1 && std::string(argv[1]) == "--prepare";
    const int seconds = argc > 1 && !prepareOnly ? std::max(1, std::atoi(argv[1])) : 60;
    setvbuf(stdout, nullptr, _IONBF, 0);
    Prepare();
    WriteCatalogue();  // as a settings save leaves it: every start is a normal one
    if (prepareOnly) return 0;
    PrintMachineLoad();

    MeasureStart("normal start (saverlist.dat holds all 200)", kRounds, false);
    WriteSettingString("Curtain", "0");
    MeasureStart("normal start without the black curtain", kRounds, false);
    DeleteSetting("Curtain");
    MeasureStart("first start (no saverlist.dat: every file discovered and described)", kFirstTimeRounds, true);
    InstallRunner();
    MeasureSupervision(seconds);
    MeasureCoveredScreen(kCoveredRounds);
    DeleteFileA(kRunner.c_str());
    DeleteFileA((kSystem + "\\bench_run.log").c_str());
    PrintMachineLoad();
    DeleteFileA(StampFile().c_str());
    return 0;
}
