// The registry wrapper's edges that the settings tests do not reach: failed writes are reported.
#include <gtest/gtest.h>

#include "settings/Registry_win.h"

namespace {

TEST(Registry, FailedWritesAreReportedAndDeletingAMissingValueIsQuiet) {
    const char kScratch[] = "\\Software\\Kestrella\\VantoraRegistryTest";
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch + 1);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey(kScratch, true));
    EXPECT_TRUE(reg.DeleteValue("never-there"));
    EXPECT_TRUE(reg.WriteString("keep", "1"));
    TRegistry readOnly(KEY_READ);
    ASSERT_TRUE(readOnly.OpenKey(kScratch, false));
    EXPECT_FALSE(readOnly.WriteString("keep", "2"));
    EXPECT_FALSE(readOnly.WriteDate("keep", 1));
    EXPECT_FALSE(readOnly.DeleteValue("keep"));
    EXPECT_FALSE(TRegistry().WriteString("keep", "3"));  // no key open
    EXPECT_EQ(reg.ReadString("keep"), "1");
    reg.WriteString("OrderDate", "46362");  // wrong type: no date
    EXPECT_FALSE(reg.ReadDate("OrderDate").has_value());
    RegDeleteTreeA(HKEY_CURRENT_USER, kScratch + 1);
}

}  // namespace
