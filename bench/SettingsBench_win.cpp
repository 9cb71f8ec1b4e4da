// Times the settings window under Wine with the real vantora.scr: from starting "vantora.scr /c"
// with 1,000 catalogued screensavers to its window being shown with the list filled, over the same
// for a bare program that shows a window with a 1,000-row list box. It prints figures only.
// Usage: settings_bench [ROUNDS]   (default 10)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "bench/BenchSupport_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "settingswnd/SettingsLayout.h"
#include "tests/wine/WineTest.h"

namespace {

constexpr int kSavers = 1000;
constexpr int kWarmUps = 2;
constexpr DWORD kTimeoutMs = 60000;

std::string SaverPath(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "\\bl_%04d.scr", i);
    char system[MAX_PATH] = {};
    GetSystemDirectoryA(system, MAX_PATH);
    return system + std::string(name);
}

// Milliseconds from the start of `commandLine` to its window of `className` being visible with a
// list of kSavers rows; the window is then closed with `closing` and the process waited for.
double TimedOpen(const std::string& commandLine, const char* className, UINT closing, WPARAM closingParam) {
    const Started run = Start(commandLine);
    const DWORD begin = GetTickCount();
    HWND window = nullptr;
    LONGLONG shown = 0;
    while (GetTickCount() - begin < kTimeoutMs) {
        window = FindWindowA(className, nullptr);
        if (window && IsWindowVisible(window) &&
            SendMessageA(FindDescendant(window, kAnyId, "ListBox"), LB_GETCOUNT, 0, 0) == kSavers) {
            shown = Counter();
            break;
        }
        Sleep(2);
    }
    if (!shown) {
        std::printf("%s showed no window with %d rows\n", commandLine.c_str(), kSavers);
        TerminateProcess(run.process, 1);
        std::exit(1);
    }
    PostMessageA(window, closing, closingParam, 0);
    if (WaitForSingleObject(run.process, kTimeoutMs) != WAIT_OBJECT_0) TerminateProcess(run.process, 1);
    CloseHandle(run.process);
    return CounterMs(shown - run.startCounter);
}

void Prepare() {
    DeleteRegistryTree("Software\\Kestrella\\Vantora");
    const std::string install = "C:\\vantora-bench";
    CreateDirectoryA(install.c_str(), nullptr);
    TRegistry reg(KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE);
    if (!reg.OpenKey("\\Software\\Kestrella\\Vantora", true) || !reg.WriteString("Path", install)) {
        std::printf("cannot write the install key\n");
        std::exit(1);
    }
    // Links, not copies: a thousand screensavers of one file keep the prefix small.
    const std::string saver = BinFolder() + "\\stampchild.scr";
    for (int i = 0; i < kSavers; ++i) {
        if (!CreateHardLinkA(SaverPath(i).c_str(), saver.c_str(), nullptr) &&
            !CopyFileA(saver.c_str(), SaverPath(i).c_str(), FALSE)) {
            std::printf("cannot install %s\n", SaverPath(i).c_str());
            std::exit(1);
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    Prepare();
    const std::string vantora = "\"" + BinFolder() + "\\vantora.scr\" /c";
    const std::string bare = "\"" + BinFolder() + "\\barelist.exe\"";
    // The first OK saves the catalogue; later starts find it in saverlist.dat.
    TimedOpen(vantora, "TLSW_Vantora", WM_COMMAND, kIdOk);
    std::printf("settings window with %d catalogued screensavers: %d rounds after %d warm-up rounds\n", kSavers, rounds,
                kWarmUps);
    std::vector<double> window, list;
    for (int i = -kWarmUps; i < rounds; ++i) {
        const double windowMs = TimedOpen(vantora, "TLSW_Vantora", WM_CLOSE, 0);
        const double listMs = TimedOpen(bare, "BareList", WM_CLOSE, 0);
        if (i < 0) continue;
        window.push_back(windowMs);
        list.push_back(listMs);
        std::printf("  round %2d: vantora.scr /c %7.2f ms   bare list %7.2f ms\n", i + 1, windowMs, listMs);
    }
    std::printf("  median: vantora.scr /c %.2f ms, bare list %.2f ms, ratio %.3f (target <= 1.5)\n", Median(window),
                Median(list), Median(window) / Median(list));
    for (int i = 0; i < kSavers; ++i)
        DeleteFileA(SaverPath(i).c_str());
    return 0;
}
