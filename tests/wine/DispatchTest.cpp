// Start-up and mode dispatch through the real vantora.scr.
#include <gtest/gtest.h>

#include "settings/SettingsKey_win.h"
#include "tests/wine/WineTest.h"

namespace {

// Unknown words, a preview without a window, and the 9x password change where MPR lacks it; each
// start stamps the version.
TEST(Dispatch, ModesWithNothingToDoEndWithExitCodeZeroAndStampTheVersion) {
    WriteSettingString("ver", "1.0.0.0");
    for (const char* args : {"/p 1234", "/p:abc", "/p", "/p:", "/save", "/x", "/a 0", "/a abc"})
        EXPECT_EQ(RunAndWait("\"" + BinFolder() + "\\vantora.scr\" " + args), 0) << args;
    EXPECT_EQ(ReadSettingString("ver"), "1.2.0.0");
}

}  // namespace
