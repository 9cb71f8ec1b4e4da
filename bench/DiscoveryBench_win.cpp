// Times discovery under Wine: warm (list file present, every file catalogued, nothing new) for
// 1,000 and 10,000 screensavers, and cold (no list file, every file new and described) for 1,000.
// The files go into the SysWOW64 folder, which the 64-bit build scans and a fresh prefix leaves
// empty; they are removed again at the end.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "catalogue/Description_win.h"
#include "catalogue/Discovery_win.h"
#include "catalogue/FolderScan_win.h"
#include "catalogue/Reconcile.h"
#include "tests/wine/PeImage.h"
#include "tests/wine/WineTest.h"

namespace {

constexpr int kRepeats = 5;

std::string ListFile() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "vantora-bench-saverlist.dat";
}

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Wow64Folder() {
    char buffer[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryA(buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? buffer : "";
}

std::string SaverPath(const std::string& folder, int i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\vtbench%05d.scr", i);
    return folder + name;
}

void RemoveSavers(const std::string& folder, int count) {
    for (int i = 0; i < count; ++i)
        DeleteFileA(SaverPath(folder, i).c_str());
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// Median seconds of a warm discovery of `count` catalogued screensavers.
double WarmDiscovery(const std::string& folder, int count) {
    const std::string program = MakeResourceImage(PeKind::Pe32, std::string("unused"));
    TSaverList catalogue;
    for (int i = 0; i < count; ++i) {
        WriteWholeFile(SaverPath(folder, i), program);
        catalogue.Add(MakeSaverItem("Saver " + std::to_string(i), SaverPath(folder, i)));
    }
    catalogue.SaveToFile(ListFile());
    std::vector<double> times;
    for (int round = 0; round < kRepeats; ++round) {
        const double start = Now();
        const TSaverList found = DiscoverSavers(ListFile());
        times.push_back(Now() - start);
        if (found.Count() < count) std::printf("  (warning: only %d catalogued)\n", found.Count());
    }
    RemoveSavers(folder, count);
    return Median(times);
}

double ColdDiscovery(const std::string& folder, int count) {
    std::vector<int> order(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i)
        order[static_cast<size_t>(i)] = i;
    std::shuffle(order.begin(), order.end(), std::mt19937(7));
    for (int i = 0; i < count; ++i) {
        const std::string description = "Saver " + std::to_string(order[static_cast<size_t>(i)]);
        WriteWholeFile(SaverPath(folder, i), MakeResourceImage(i % 2 ? PeKind::Pe32 : PeKind::Pe32Plus, description));
    }
    std::vector<double> times;
    for (int round = 0; round < 3; ++round) {
        DeleteFileA(ListFile().c_str());
        const double start = Now();
        DiscoverSavers(ListFile());
        times.push_back(Now() - start);
    }
    RemoveSavers(folder, count);
    return Median(times);
}

// The reconciliation alone, without the file system: warm and all-new catalogues.
void ReconcileOnly(int count) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i)
        paths.push_back(SaverPath("C:\\windows\\syswow64", i));
    TSaverList catalogue;
    for (int i = 0; i < count; ++i)
        catalogue.Add(MakeSaverItem("Saver " + std::to_string(i), paths[static_cast<size_t>(i)]));
    auto exists = [](const std::string&) { return true; };
    auto describe = [](const std::string& path) { return path.substr(path.size() - 9); };

    std::vector<std::string> found = paths;
    double start = Now();
    ReconcileSavers(catalogue, found, exists, describe);
    const double warm = Now() - start;

    TSaverList empty;
    found = paths;
    std::shuffle(found.begin(), found.end(), std::mt19937(3));
    start = Now();
    ReconcileSavers(empty, found, exists, describe);
    const double cold = Now() - start;
    std::printf("reconcile only, %6d savers: warm %8.2f ms, all new %8.2f ms\n", count, warm * 1000, cold * 1000);
}

}  // namespace

int main() {
    const std::string folder = Wow64Folder();
    if (folder.empty()) {
        std::printf("no SysWOW64 folder: nothing to measure\n");
        return 1;
    }
    CreateDirectoryA(folder.c_str(), nullptr);  // a fresh Wine prefix may not have made it yet

    const double warm1k = WarmDiscovery(folder, 1000);
    const double warm10k = WarmDiscovery(folder, 10000);
    const double cold1k = ColdDiscovery(folder, 1000);
    std::printf("warm discovery,  1000 savers: %8.2f ms (median of %d)\n", warm1k * 1000, kRepeats);
    std::printf("warm discovery, 10000 savers: %8.2f ms (median of %d)\n", warm10k * 1000, kRepeats);
    std::printf("ratio 10000/1000: %.2f (target <= 12)\n", warm10k / warm1k);
    std::printf("cold discovery,  1000 new savers: %8.2f ms (median of 3)\n", cold1k * 1000);
    ReconcileOnly(10000);
    ReconcileOnly(100000);
    DeleteFileA(ListFile().c_str());
    return 0;
}
