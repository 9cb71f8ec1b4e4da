#include "app/Text.h"

#include <gtest/gtest.h>

#include "diag/Version.h"

namespace {

TEST(Text, ParsesSignedDecimalsAndRejectsTheRest) {
    struct {
        const char* text;
        bool ok;
        int32_t value;
    } cases[] = {
        {"0", true, 0},
        {"-3", true, -3},
        {"+42", true, 42},
        {" 17 ", true, 17},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"12x", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"1 2", false, 0},
        {"0x10", false, 0},
        {"99999999999999999999", false, 0},
    };
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
    EXPECT_EQ(FileNameOf("C:ssfoo.scr"), "ssfoo.scr");
    EXPECT_EQ(FileNameOf("ssfoo.scr"), "ssfoo.scr");
    EXPECT_EQ(FileNameOf("C:\\dir\\"), "");
    EXPECT_EQ(ParentFolderOf("C:\\Windows\\ssfoo.scr"), "C:\\Windows");
    EXPECT_EQ(ParentFolderOf("C:x"), "C");
    EXPECT_EQ(ParentFolderOf("plain"), "");
}

TEST(Text, FormatsVersions) {
    EXPECT_EQ(VersionText(), "1.2.0.0");
    EXPECT_EQ(VersionText(0x0A0B0C0D), "10.11.12.13");
}

}  // namespace
