#include "app/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    const char* first;
    const char* second;
    const char* word;
    const char* arg;
    int32_t window;
    Mode mode;
};

TEST(CommandLine, ParsesEverySwitchForm) {
    const Case cases[] = {
        {"", "", "", "", 0, Mode::Settings},                // no arguments: settings window
        {"/p:1234", "", "p", "1234", 1234, Mode::Preview},  // colon form...
        {"/p", "1234", "p", "1234", 1234, Mode::Preview},   // ...equals the two-argument form
        {"-s", "", "s", "", 0, Mode::FullScreen},
        {"s", "", "", "", 0, Mode::Settings},  // first letter lost: empty word
        {"/c:1234", "", "c", "1234", 1234, Mode::Settings},
        {"/save", "", "save", "", 0, Mode::None},  // compared whole, not by prefix
        {"/p:", "", "p", "", 0, Mode::Preview},
        {"/P", "12X", "p", "12x", 0, Mode::Preview},  // arguments are lower-cased too
        {"/a", "-77", "a", "-77", -77, Mode::ChangePassword},
        {"/p", "99999999999", "p", "99999999999", 0, Mode::Preview},  // beyond 32 bits
        {"/\xC4X:AB\xC9", "", "\xC4x", "ab\xC9", 0, Mode::None},      // only ASCII letters are lower-cased
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.first) + " | " + c.second);
        CommandLine cl = ParseCommandLine(c.first, c.second);
        EXPECT_EQ(cl.modeWord, c.word);
        EXPECT_EQ(cl.modeArg, c.arg);
        EXPECT_EQ(cl.windowArg, c.window);
        EXPECT_EQ(ModeFor(cl.modeWord), c.mode);
    }
}

}  // namespace
