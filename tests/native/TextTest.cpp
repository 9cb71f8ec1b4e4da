#include "app/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, ParsesSignedDecimalsAndRejectsTheRest) {
    struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {{"0", true, 0},
                 {"-3", true, -3},
                 {" 17 ", true, 17},
                 {"2147483647", true, 2147483647},
                 {"-2147483648", true, INT32_MIN},
                 {"2147483648", false, 0},
                 {"12x", false, 0},
                 {"", false, 0},
                 {"0x10", false, 0}};
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
    EXPECT_EQ(ParentFolderOf("C:\\Windows\\ssfoo.scr"), "C:\\Windows");
    EXPECT_EQ(ParentFolderOf("C:x"), "C");
    EXPECT_EQ(ParentFolderOf("plain"), "");
}

}  // namespace
