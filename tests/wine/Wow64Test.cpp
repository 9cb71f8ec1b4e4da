// The redirection calls of discovery and launching seen through
// stand-in kernel32 entries: the 64-bit build plays a 32-bit process on 64-bit Windows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/DynCalls_win.h"
#include "app/Handles.h"
#include "app/Text.h"
#include "app/Wow64_win.h"
#include "catalogue/Discovery_win.h"
#include "catalogue/Launch_win.h"
#include "tests/wine/PeImage.h"
#include "tests/wine/WineTest.h"

namespace {

std::vector<std::string> redirectionCalls;

BOOL WINAPI FakeIsWow64Process(HANDLE, PBOOL answer) {
    *answer = TRUE;
    return TRUE;
}
BOOL WINAPI FakeDisable(PVOID* old) {
    *old = reinterpret_cast<PVOID>(42);
    redirectionCalls.push_back("off");
    return TRUE;
}
std::string goneWhenRedirected;  // a file that vanishes when redirection comes back on
BOOL WINAPI FakeRevert(PVOID old) {
    redirectionCalls.push_back(old == reinterpret_cast<PVOID>(42) ? "on" : "on with a wrong value");
    if (!goneWhenRedirected.empty()) DeleteFileA(goneWhenRedirected.c_str());
    return TRUE;
}

// A 32-bit build on 64-bit Windows checks old paths and reads descriptions in System32 itself, not
// in SysWOW64: reconciliation is done before redirection comes back on. Launching switches it off
// around the start, also when the start fails.
TEST(Wow64, DiscoveryAndLaunchingSwitchRedirectionOffAroundTheirWork) {
    const Kernel32Calls saved = DynKernel32();  // stand-ins for kernel32's entries until the end
    DynKernel32().IsWow64Process = FakeIsWow64Process;
    DynKernel32().Wow64DisableWow64FsRedirection = FakeDisable;
    DynKernel32().Wow64RevertWow64FsRedirection = FakeRevert;
    ResetWow64State();
    TestFolder data;
    goneWhenRedirected = "C:\\windows\\vttwow.scr";
    WriteWholeFile(goneWhenRedirected, MakeResourceImage(PeKind::Pe32Plus, "Wow"));
    const TSaverList savers = DiscoverSavers(data / "saverlist.dat");
    goneWhenRedirected.clear();
    EXPECT_EQ(redirectionCalls, (std::vector<std::string>{"off", "on"}));
    std::string described;  // what discovery saw of the file before it vanished
    for (int i = 0; i < savers.Count(); ++i) {
        if (FileNameOf(savers.GetItem(i).FilePath) == "vttwow.scr") described += savers.GetItem(i).Description;
    }
    EXPECT_EQ(described, "Wow");
    EXPECT_FALSE(RunScreensaver("C:\\nowhere\\gone.scr", nullptr, false, true));
    EXPECT_EQ(redirectionCalls, (std::vector<std::string>{"off", "on", "off", "on"}));
    DynKernel32() = saved;
    ResetWow64State();
}

}  // namespace
