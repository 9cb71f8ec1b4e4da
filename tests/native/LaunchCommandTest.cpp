#include "catalogue/LaunchCommand.h"

#include <gtest/gtest.h>

#include "app/Exception.h"

namespace {

TEST(LaunchCommand, SwitchesFollowTheModeTable) {
    EXPECT_EQ(ScreensaverSwitch(0, true, false), "/c");
    EXPECT_EQ(ScreensaverSwitch(1234, true, false), "/c:1234");
    EXPECT_EQ(ScreensaverSwitch(0, false, true), "/s");
    EXPECT_EQ(ScreensaverSwitch(1234, false, true), "/s");
    EXPECT_EQ(ScreensaverSwitch(1234, false, false), "/p 1234");
    EXPECT_EQ(ScreensaverSwitch(0, false, false), "/p 0");
    EXPECT_EQ(ScreensaverSwitch(0xFFFFFFFFu, false, false), "/p 4294967295");  // unsigned, never negative
    try {
        ScreensaverSwitch(0, true, true);
        ADD_FAILURE();
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "incorrect params in RunScreensaver");
    }
}

TEST(LaunchCommand, PathIsAlwaysQuoted) {
    EXPECT_EQ(ScreensaverCommandLine("C:\\Windows\\ssfoo.scr", "/p 1234"), "\"C:\\Windows\\ssfoo.scr\" /p 1234");
    EXPECT_EQ(ScreensaverCommandLine("C:\\My Savers\\a b.scr", "/s"), "\"C:\\My Savers\\a b.scr\" /s");
}

}  // namespace
