#include "settings/SettingsRules.h"

#include <gtest/gtest.h>

#include "app/Exception.h"

namespace {

TEST(SettingsRules, StoredTextFallsBackAndIsClamped) {
    EXPECT_EQ(SettingFromText("", 30), 30);
    EXPECT_EQ(SettingFromText("abc", 17), 17);
    EXPECT_EQ(SettingFromText("12x", 5), 5);
    EXPECT_EQ(SettingFromText("-5", 30), 0);
    EXPECT_EQ(SettingFromText("2000000000", 300), kSettingMax);
    EXPECT_EQ(SettingFromText("99999999999", 300), 300);  // not a 32-bit integer at all
    EXPECT_EQ(SettingFromText("1000000000", 1), 1000000000);
    EXPECT_EQ(SettingFromText("0", 1), 0);
    EXPECT_EQ(SettingFromText("", -7), 0);  // the fallback is clamped too
    EXPECT_EQ(SettingFromText("", 2000000001), kSettingMax);
}

TEST(SettingsRules, OrderWordPacksModeAndScheduleBits) {
    const OrderSettings fallback = DecodeOrder(kDefaultOrder);
    EXPECT_EQ(fallback.orderMode, 1);
    EXPECT_TRUE(fallback.changeEvery);
    EXPECT_FALSE(fallback.changeOnceADay);

    const OrderSettings eleven = DecodeOrder(11);  // 11 mod 8 = 3 reads as Sequential
    EXPECT_EQ(eleven.orderMode, 1);
    EXPECT_TRUE(eleven.changeOnceADay);
    EXPECT_FALSE(eleven.changeEvery);
    EXPECT_EQ(EncodeOrder(eleven.orderMode, eleven.changeOnceADay, eleven.changeEvery), 9);

    EXPECT_EQ(EncodeOrder(2, true, true), 26);
    EXPECT_EQ(EncodeOrder(4, false, false), 4);
    // Modes the window does not offer stay as read and round-trip.
    for (int32_t value : {0, 5, 6, 7, 13, 22, 31}) {
        const OrderSettings order = DecodeOrder(value);
        EXPECT_EQ(EncodeOrder(order.orderMode, order.changeOnceADay, order.changeEvery), value) << value;
    }
    EXPECT_EQ(DecodeOrder(32 + 2).orderMode, 2);  // higher bits are ignored
}

TEST(SettingsRules, SystemTimeoutIsRestoredWhenTheStoredDelayMustWin) {
    EXPECT_TRUE(TimeoutNeedsRestore(600, true, 300));
    EXPECT_FALSE(TimeoutNeedsRestore(600, false, 300));
    EXPECT_FALSE(TimeoutNeedsRestore(300, true, 300));
    EXPECT_TRUE(TimeoutNeedsRestore(kForeignScreenSaveTimeout, false, 300));
    EXPECT_TRUE(TimeoutNeedsRestore(86640, true, 86640));
}

TEST(SettingsRules, DatesCountDaysFromTheEndOf1899) {
    EXPECT_EQ(CivilDate(1899, 12, 30), 0);
    EXPECT_EQ(CivilDate(1900, 1, 1), 2);
    EXPECT_EQ(CivilDate(1900, 3, 1), 61);  // 1900 was no leap year
    EXPECT_EQ(CivilDate(1970, 1, 1), 25569);
    EXPECT_EQ(CivilDate(2000, 2, 29) + 1, CivilDate(2000, 3, 1));
    EXPECT_EQ(CivilDate(2024, 1, 1), 45292);
    EXPECT_EQ(CivilDate(2024, 12, 31) - CivilDate(2024, 1, 1), 365);
}

TEST(SettingsRules, AgentEntryAndListFileLiveInTheRightFolders) {
    EXPECT_EQ(AgentCommand("C:\\Program Files\\Vantora"), "\"C:\\Program Files\\Vantora\\vtagent.exe\"");
    EXPECT_EQ(SaverListPath("C:\\Data", "C:\\Inst"), "C:\\Data\\saverlist.dat");
    EXPECT_EQ(SaverListPath("", "C:\\Inst"), "C:\\Inst\\saverlist.dat");
}

TEST(SettingsRules, DataFolderCandidatesSkipUnknownBases) {
    DataFolderBases bases{"C:\\AppData", "C:\\Inst", "C:\\Docs", "C:\\Temp\\"};
    EXPECT_EQ(DataFolderCandidateOf(1, bases), "C:\\AppData\\Vantora");
    EXPECT_EQ(DataFolderCandidateOf(2, bases), "C:\\AppData\\Vantora_Data");
    EXPECT_EQ(DataFolderCandidateOf(3, bases), "C:\\Inst\\Data");
    EXPECT_EQ(DataFolderCandidateOf(4, bases), "C:\\Docs\\Vantora_Data");
    EXPECT_EQ(DataFolderCandidateOf(5, bases), "C:\\Temp\\Vantora_Data");
    const DataFolderBases unknown;
    for (int i = 1; i <= kDataFolderCandidates; ++i)
        EXPECT_EQ(DataFolderCandidateOf(i, unknown), "") << i;
    for (int bad : {0, -1, 6, 1000}) {
        try {
            DataFolderCandidateOf(bad, bases);
            ADD_FAILURE() << bad;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), "Wrong pathind");
        }
    }
}

TEST(SettingsRules, PathDataRoundTripsAndRejectsDamage) {
    int32_t value = -1;
    int32_t number = -1;
    ASSERT_EQ(ParsePathData(PathDataText(99999999, 0), value, number), PathDataParse::Ok);
    EXPECT_EQ(value, 99999999);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(ParsePathData("12,34,56", value, number), PathDataParse::BadNumber);
    EXPECT_EQ(ParsePathData("1234", value, number), PathDataParse::NoSeparator);
    EXPECT_EQ(ParsePathData("x,1", value, number), PathDataParse::BadNumber);
    EXPECT_EQ(ParsePathData("1,", value, number), PathDataParse::BadNumber);
    EXPECT_EQ(ParsePathData(",", value, number), PathDataParse::BadNumber);
}

TEST(SettingsRules, ErrorPageAddressCarriesCodeAddressAndEncodedComment) {
    EXPECT_EQ(WebErrorUrl(102, 0, ""), "https://kestrella.example/vantora/error.php?error=102");
    EXPECT_EQ(WebErrorUrl(121, 0x4010AB, ""), "https://kestrella.example/vantora/error.php?error=121&eradr=004010AB");
    EXPECT_EQ(WebErrorUrl(100, 0, "Z0012FF00,a b&c=d#e%"),
              "https://kestrella.example/vantora/error.php?error=100&comment=Z0012FF00%2Ca%20b%26c%3Dd%23e%25");
    if (sizeof(uintptr_t) == 8) {
        EXPECT_EQ(WebErrorUrl(121, static_cast<uintptr_t>(0x7FF612345678ull), "x"),
                  "https://kestrella.example/vantora/error.php?error=121&eradr=7FF612345678&comment=x");
    }
    EXPECT_EQ(UrlEncode("Az09-._~"), "Az09-._~");
    EXPECT_EQ(UrlEncode(std::string("\xE9\x01", 2)), "%E9%01");
}

}  // namespace
