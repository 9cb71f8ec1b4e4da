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
    } cases[] = {{"12x", 5, 5}, {"99999999999", 300, 300}, {"", -7, 0}, {"", 2000000001, kSettingMax}};
    for (const auto& c : cases)
        EXPECT_EQ(SettingFromText(c.text, c.fallback), c.expected) << '"' << c.text << '"';
}

TEST(SettingValues, OrderModesTheWindowDoesNotOfferRoundTrip) {
    for (int32_t value : {0, 7, 13, 31}) {
        const OrderSettings order = DecodeOrder(value);
        EXPECT_EQ(EncodeOrder(order.orderMode, order.changeOnceADay, order.changeEvery), value) << value;
    }
    EXPECT_EQ(DecodeOrder(32 + 2).orderMode, 2);  // higher bits are ignored
    EXPECT_EQ(DecodeOrder(16 + 3).orderMode, 1) << "3 reads as Sequential";
}

TEST(SettingsRules, TheSystemTimeoutIsRestoredWhenForeignOrWhenAskedAndDifferent) {
    const struct {
        int32_t system;
        bool restore;
        int32_t delay;
        bool expected;
    } cases[] = {{kForeignScreenSaveTimeout, false, 600, true},
                 {600, true, 600, false},
                 {300, true, 600, true},
                 {300, false, 600, false}};
    for (const auto& c : cases)
        EXPECT_EQ(TimeoutNeedsRestore(c.system, c.restore, c.delay), c.expected) << c.system << " " << c.restore;
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

TEST(DataFolderRules, PathDataRoundTripsAndKeepsWhatSurvivesDamage) {
    const struct {
        std::string text;
        std::optional<int32_t> value, number;
    } cases[] = {{PathDataText(99999999, 0), 99999999, 0}, {"1234", {}, {}}, {"12,34,56", 12, {}}, {"x,17", {}, 17}};
    for (const auto& c : cases) {
        const PathData parsed = ParsePathData(c.text);
        EXPECT_EQ(parsed.value, c.value) << c.text;
        EXPECT_EQ(parsed.number, c.number) << c.text;
    }
}

// Text that is no number reads as 0, "none chosen yet"; only a number out of range is corrupt.
TEST(DataFolderRules, PathIndIsNoneACandidateOrCorrupt) {
    const std::pair<const char*, std::optional<int>> cases[] = {{"5", 5}, {"6", {}}, {"-1", {}}, {"abc", 0}};
    for (const auto& [text, expected] : cases)
        EXPECT_EQ(ParsePathInd(text), expected) << '"' << text << '"';
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
