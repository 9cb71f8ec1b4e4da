// Times the settings window under Wine with the real vantora.scr: from starting "vantora.scr /c"
// with 1,000 catalogued screensavers to its window being shown with the list filled, over the same
// for a bare program that shows a window with a 1,000-row list box; then the GDI and USER objects
// the window holds after 1,000 tab switches with a live preview, against after the first. It
// prints figures only.
// Usage: settings_bench [ROUNDS] [SWITCHES]   (defaults 10 and 1000)
#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "bench/BenchSupport_win.h"
#include "catalogue/Catalogue_win.h"
#include "catalogue/SaverList.h"
#include "settings/Registry_win.h"
#include "settings/Settings.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "settingswnd/SettingsLayout.h"
#include "settingswnd/SettingsWindow_win.h"
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

bool PumpUntil(const std::function<bool()>& condition) {
    for (const DWORD begin = GetTickCount(); GetTickCount() - begin < kTimeoutMs; Sleep(1)) {
        PumpMessages();
        if (condition()) return true;
    }
    return false;
}

// What the window holds at one moment: GDI objects and USER handles as slots taken from what was
// free before it was built, and its own windows.
struct Held {
    int gdi = 0, user = 0, windows = 0;
};

struct Baseline {
    int freeGdi = FreeGdiSlots(), freeUser = FreeUserSlots(), windows = ThreadWindows();
    Held Now() const { return {freeGdi - FreeGdiSlots(), freeUser - FreeUserSlots(), ThreadWindows() - windows}; }
};

// The settings window built in this process over one saver that previews until asked to close,
// its tabs switched round Screensavers, Options and About as a click would, waiting at each
// return to Screensavers for the preview to be live again. Counted after the first switch and
// after the last, both landing on Options (1,000 is 1 mod 3), with no preview child running.
void CountObjectsOverTabSwitches(int switches) {
    const std::string saver = "C:\\vantora-bench\\calm.scr";
    if (!CopyFileA((BinFolder() + "\\fixture.scr").c_str(), saver.c_str(), FALSE)) {
        std::printf("cannot copy the fixture saver\n");
        std::exit(1);
    }
    TSaverList savers;
    savers.Add(MakeSaverItem("calm", saver));
    const Baseline baseline;
    bool destroyed = false;
    const HWND window = OpenSettingsWindow(Settings(), std::move(savers), [&] { destroyed = true; });
    const HWND tabs = window ? GetDlgItem(window, kIdTabs) : nullptr;
    const HWND image = window ? FindDescendant(window, kIdPreviewImage) : nullptr;
    if (!tabs || !image) {
        std::printf("the settings window was not built\n");
        std::exit(1);
    }
    auto previewLive = [&] { return FindWindowExA(image, nullptr, "VantoraFixture", nullptr) != nullptr; };
    if (!PumpUntil(previewLive)) {
        std::printf("the first preview never showed\n");
        std::exit(1);
    }
    const int pages = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    Held first;
    const DWORD begin = GetTickCount();
    for (int i = 1; i <= switches; ++i) {
        const int page = i % pages;
        SendMessageA(tabs, TCM_SETCURSEL, static_cast<WPARAM>(page), 0);
        NMHDR header = {tabs, static_cast<UINT_PTR>(kIdTabs), static_cast<UINT>(TCN_SELCHANGE)};
        SendMessageA(window, WM_NOTIFY, kIdTabs, reinterpret_cast<LPARAM>(&header));
        // The preview restarts when the Screensavers page paints again.
        if (page == 0 && !PumpUntil([&] {
                InvalidateRect(tabs, nullptr, FALSE);
                return previewLive();
            })) {
            std::printf("the preview did not come back after switch %d\n", i);
            std::exit(1);
        }
        PumpMessages();
        if (i == 1) first = baseline.Now();
    }
    const double seconds = (GetTickCount() - begin) / 1000.0;
    const Held last = baseline.Now();
    std::printf("settings window over %d tab switches with a live preview (%d preview starts, %.1f s)\n", switches,
                switches / pages, seconds);
    std::printf("  after switch %5d: GDI %d, USER %d (windows %d)\n", 1, first.gdi, first.user, first.windows);
    std::printf("  after switch %5d: GDI %d, USER %d (windows %d)\n", switches, last.gdi, last.user, last.windows);
    std::printf("  difference:         GDI %+d, USER %+d (windows %+d) (target 0)\n", last.gdi - first.gdi,
                last.user - first.user, last.windows - first.windows);
    DestroyWindow(window);
    PumpMessages();
    if (!destroyed) std::printf("  the window did not report its end\n");
    DeleteFileA(saver.c_str());
    DeleteFileA("C:\\vantora-bench\\calm.log");
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::atoi(argv[1]) : 10;
    const int switches = argc > 2 ? std::atoi(argv[2]) : 1000;
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
    CountObjectsOverTabSwitches(switches);
    return 0;
}
