// Start-up and mode dispatch through the real vantora.scr.
#include <gtest/gtest.h>

#include "settings/SettingsKey_win.h"
#include "tests/wine/WineTest.h"

namespace {

int RunVantora(const std::string& arguments) {
    return RunAndWait("\"" + BinFolder() + "\\vantora.scr\"" + (arguments.empty() ? "" : " " + arguments));
}

TEST(Dispatch, ModesWithNothingToDoEndWithExitCodeZero) {
    // Unknown words, a preview without a window, and the 9x password change where MPR lacks it.
    for (const char* args : {"/p 1234", "/p:abc", "/p", "/p:", "/save", "/x", "/a 0", "/a abc"}) {
        SCOPED_TRACE(args);
        EXPECT_EQ(RunVantora(args), 0);
    }
}

TEST(Dispatch, StampsTheVersionAtStartUp) {
    WriteSettingString("ver", "1.0.0.0");
    ASSERT_EQ(RunVantora("/x"), 0);
    EXPECT_EQ(ReadSettingString("ver"), "1.2.0.0");
}

}  // namespace
