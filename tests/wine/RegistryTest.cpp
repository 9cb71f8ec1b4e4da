#include <gtest/gtest.h>

#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"

namespace {

const char kScratch[] = "Software\\Kestrella\\VantoraRegistryTest";

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegDeleteTreeA(HKEY_CURRENT_USER, kScratch);
        ASSERT_TRUE(reg.OpenKey(Absolute(), true));
    }
    void TearDown() override { RegDeleteTreeA(HKEY_CURRENT_USER, kScratch); }
    std::string Absolute() const { return std::string("\\") + kScratch; }
    TRegistry reg;  // open on the fresh scratch key
};

TEST_F(RegistryTest, OpensAbsoluteAndRelativePathsAndCreatesOnlyWhenAsked) {
    TRegistry check;
    EXPECT_FALSE(check.OpenKey(Absolute() + "\\Child", false));
    ASSERT_TRUE(reg.OpenKey("Child", true));  // relative to the open key
    reg.WriteString("v", "inside");
    ASSERT_TRUE(check.OpenKey(Absolute() + "\\Child", false));
    EXPECT_EQ(check.ReadString("v"), "inside");
}

TEST_F(RegistryTest, ReadsStringsOfEveryKind) {
    EXPECT_EQ(reg.ReadString("missing"), "");
    reg.WriteString("s", "hello");
    EXPECT_EQ(reg.ReadString("s"), "hello");
    reg.WriteString("empty", "");
    EXPECT_TRUE(reg.ValueExists("empty"));
    EXPECT_EQ(reg.ReadString("empty"), "");

    HKEY raw = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kScratch, 0, KEY_ALL_ACCESS, &raw), ERROR_SUCCESS);
    const char expand[] = "%TEMP%\\x\0junk";
    RegSetValueExA(raw, "expand", 0, REG_EXPAND_SZ, reinterpret_cast<const BYTE*>(expand), sizeof expand);
    const BYTE bytes[] = {'a', 'b', 0, 'c'};
    RegSetValueExA(raw, "binary", 0, REG_BINARY, bytes, sizeof bytes);
    RegCloseKey(raw);

    EXPECT_EQ(reg.ReadString("expand"), "%TEMP%\\x");  // up to the first zero, not expanded
    EXPECT_EQ(reg.ReadString("binary"), std::string("ab\0c", 4));
}

TEST_F(RegistryTest, DatesAreEightByteBinaries) {
    EXPECT_FALSE(reg.ReadDate("OrderDate").has_value());
    reg.WriteDate("OrderDate", 46362.75);
    EXPECT_EQ(reg.ReadDate("OrderDate").value_or(0), 46362.75);
    reg.WriteString("OrderDate", "46362");  // wrong type: no date
    EXPECT_FALSE(reg.ReadDate("OrderDate").has_value());
}

TEST_F(RegistryTest, DeletingAMissingValueIsQuietAndFailedWritesAreReported) {
    EXPECT_TRUE(reg.DeleteValue("never-there"));
    EXPECT_TRUE(reg.WriteString("keep", "1"));
    TRegistry readOnly(KEY_READ);
    ASSERT_TRUE(readOnly.OpenKey(Absolute(), false));
    EXPECT_FALSE(readOnly.WriteString("keep", "2"));
    EXPECT_FALSE(readOnly.WriteDate("keep", 1));
    EXPECT_FALSE(readOnly.DeleteValue("keep"));
    EXPECT_FALSE(TRegistry().WriteString("keep", "3"));  // no key open
    EXPECT_EQ(reg.ReadString("keep"), "1");
    EXPECT_TRUE(reg.DeleteValue("keep"));
    EXPECT_FALSE(reg.ValueExists("keep"));
}

TEST(SettingsKey, ReadsIntegersWithoutClampingAndFallsBackOnText) {
    DeleteSetting("IntTest");
    EXPECT_EQ(ReadSettingInt("IntTest", 7), 7);
    WriteSettingString("IntTest", "12x");
    EXPECT_EQ(ReadSettingInt("IntTest", 7), 7);
    WriteSettingString("IntTest", "-3");
    EXPECT_EQ(ReadSettingInt("IntTest", 7), -3);
    WriteSettingInt("IntTest", 2000000000);
    EXPECT_EQ(ReadSettingString("IntTest"), "2000000000");
    DeleteSetting("IntTest");
    DeleteSetting("IntTest");  // already gone: no error
    EXPECT_EQ(ReadSettingString("IntTest"), "");
}

}  // namespace
