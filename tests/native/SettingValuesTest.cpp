#include "settings/DataFolderRules.h"
#include "settings/SettingValues.h"
#include "settings/WebUrl.h"

#include <gtest/gtest.h>

#include "app/Exception.h"

// The Wine tests load "Order" 11 and "abc", "ChangeTime" -5 and 2000000000, the wait-time cases
// and the data-folder choice through the registry; these are the edges behind them.
namespace {

TEST(SettingValues, StoredTextFallsBackAndIsClamped) {
    const struct {
        const char* text;
        int32_t fallback, expected;
    } cases[] = {{"", 30, 30},
                 {"12x", 5, 5},
                 {" 77 ", 5, 77},
                 {"99999999999", 300, 300},
                 {"0", 1, 0},
                 {"", -7, 0},
                 {"", 2000000001, kSettingMax}};
    for (const auto& c : cases)
        EXPECT_EQ(SettingFromText(c.text, c.fallback), c.expected) << '"' << c.text << '"';
}

TEST(SettingValues, OrderModesTheWindowDoesNotOfferRoundTrip) {
    for (int32_t value : {0, 4, 5, 6, 7, 13, 22, 31}) {
        const OrderSettings order = DecodeOrder(value);
        EXPECT_EQ(EncodeOrder(order.orderMode, order.changeOnceADay, order.changeEvery), value) << value;
    }
    EXPECT_EQ(DecodeOrder(32 + 2).orderMode, 2);  // higher bits are ignored
}

TEST(DataFolderRules, DataFolderCandidates) {
    const DataFolderBases bases{"C:\\AppData", "C:\\Inst", "C:\\Docs", "C:\\Temp\\"};
    const char* expected[] = {"C:\\AppData\\Vantora", "C:\\AppData\\Vantora_Data", "C:\\Inst\\Data",
                              "C:\\Docs\\Vantora_Data", "C:\\Temp\\Vantora_Data"};
    for (int i = 1; i <= kDataFolderCandidates; ++i) {
        EXPECT_EQ(DataFolderCandidateOf(i, bases), expected[i - 1]);
        EXPECT_EQ(DataFolderCandidateOf(i, DataFolderBases{}), "") << i;
    }
    EXPECT_THROW(DataFolderCandidateOf(0, bases), Exception);
    EXPECT_THROW(DataFolderCandidateOf(6, bases), Exception);
    EXPECT_EQ(SaverListPath("", "C:\\Inst"), "C:\\Inst\\saverlist.dat");
}

TEST(DataFolderRules, PathDataRoundTripsAndRejectsDamage) {
    int32_t value = -1, number = -1;
    ASSERT_EQ(ParsePathData(PathDataText(99999999, 0), value, number), PathDataParse::Ok);
    EXPECT_EQ(value, 99999999);
    EXPECT_EQ(number, 0);
    EXPECT_EQ(ParsePathData("1234", value, number), PathDataParse::NoSeparator);
    for (const char* damaged : {"12,34,56", "x,1", "1,", ","})
        EXPECT_EQ(ParsePathData(damaged, value, number), PathDataParse::BadNumber) << damaged;
}

TEST(WebUrl, ErrorPageAddressCarriesCodeAddressAndEncodedComment) {
    EXPECT_EQ(WebErrorUrl(121, 0x4010AB, "Z0012FF00,a b&c=d#e%"),
              "https://kestrella.example/vantora/error.php?error=121&eradr=004010AB"
              "&comment=Z0012FF00%2Ca%20b%26c%3Dd%23e%25");
    if (sizeof(uintptr_t) == 8) {
        EXPECT_EQ(WebErrorUrl(121, static_cast<uintptr_t>(0x7FF612345678ull), ""),
                  "https://kestrella.example/vantora/error.php?error=121&eradr=7FF612345678");
    }
    EXPECT_EQ(UrlEncode(std::string("Az09-._~\xE9\x01", 10)), "Az09-._~%E9%01");
}

}  // namespace
