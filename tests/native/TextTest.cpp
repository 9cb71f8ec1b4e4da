#include "app/Text.h"

#include <gtest/gtest.h>

#include "app/CommandLine.h"

namespace {

TEST(Text, ParsesSignedDecimalsAndRejectsTheRest) {
    struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {{"0", true, 0},
                 {" 17 ", true, 17},
                 {"2147483647", true, 2147483647},
                 {"-2147483648", true, INT32_MIN},
                 {"2147483648", false, 0},
                 {"12x", false, 0},
                 {"", false, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        int32_t value = 555;
        EXPECT_EQ(TryParseInt(c.text, value), c.ok);
        EXPECT_EQ(value, c.ok ? c.value : 555);
        EXPECT_EQ(ParseIntOr(c.text, 555), c.ok ? c.value : 555);
    }
}

TEST(Text, SplitsPaths) {
    EXPECT_EQ(FileNameOf("C:\\Windows\\ssfoo.scr"), "ssfoo.scr");
    EXPECT_EQ(FileNameOf("C:\\dir\\"), "");
    EXPECT_EQ(FileNameOf("C:x.scr"), "x.scr");
    EXPECT_EQ(ParentFolderOf("C:\\Windows\\ssfoo.scr"), "C:\\Windows");
    EXPECT_EQ(ParentFolderOf("C:x"), "C");
    EXPECT_EQ(ParentFolderOf("plain"), "");
}

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
        {"s", "", "", "", 0, Mode::Settings},               // first letter lost: empty word
        {"/c:1234", "", "c", "1234", 1234, Mode::Settings},
        {"/save", "", "save", "", 0, Mode::None},                     // compared whole, not by prefix
        {"/P", "12X", "p", "12x", 0, Mode::Preview},                  // arguments are lower-cased too
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
