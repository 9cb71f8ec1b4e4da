// The data folder across starts: every start is a new process of this program running the
// hidden DataFolderChild test, as the real program would at its next start.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Exception.h"
#include "app/Random.h"
#include "settings/DataFolder_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

const char kChild[] = "DataFolderChild.DISABLED_Start";

TEST(DataFolderChild, DISABLED_Start) {
    SeedRandom(GetTickCount());
    try {
        ChildReport("folder=" + GetDataFolder());
    } catch (const Exception& e) {
        ChildReport("exception=" + e.Message());
    }
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 1; i <= 5; ++i)
            Clear(DataFolderCandidate(i));
        DeleteSetting("pathind");
        DeleteSetting("pathdata");
    }
    void TearDown() override { SetUp(); }

    static void Clear(const std::string& folder) {
        if (folder.empty()) return;
        SetFileAttributesA(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(folder.c_str());
        RemoveTree(folder);
    }
    // A plain file where the folder should be: nothing can be written below it.
    static void Block(const std::string& folder) {
        RemoveTree(folder);
        WriteWholeFile(folder, "in the way");
    }
    static std::string Start() {
        std::vector<std::string> lines = RunChildTest(kChild);
        return lines.size() == 1 ? lines[0] : "(no report)";
    }
    static std::string TestFileOf(const std::string& folder) {
        const std::string pathData = ReadSettingString("pathdata");
        return folder + "\\" + pathData.substr(pathData.find(',') + 1);
    }

    UrlLog urls;
};

TEST_F(DataFolder, FreshProfileChoosesTheFirstCandidateAndChecksItOnce) {
    const std::string first = DataFolderCandidate(1);
    ASSERT_EQ(first, AppDataFolder() + "\\Vantora");
    EXPECT_EQ(Start(), "folder=" + first);
    EXPECT_EQ(ReadSettingString("pathind"), "1");
    const std::string pathData = ReadSettingString("pathdata");
    const size_t comma = pathData.find(',');
    ASSERT_NE(comma, std::string::npos);
    const int32_t value = std::stoi(pathData.substr(0, comma));
    const std::string testFile = TestFileOf(first);
    const std::string bytes = ReadWholeFile(testFile);
    ASSERT_EQ(bytes.size(), 4u);
    EXPECT_EQ(static_cast<uint8_t>(bytes[0]) | static_cast<uint8_t>(bytes[1]) << 8 |
                  static_cast<uint8_t>(bytes[2]) << 16 | static_cast<uint8_t>(bytes[3]) << 24,
              value);

    EXPECT_EQ(Start(), "folder=" + first);  // the check passes, and removes its traces
    EXPECT_EQ(ReadSettingString("pathdata"), "");
    EXPECT_FALSE(FileExists(testFile));
    EXPECT_EQ(ReadSettingString("pathind"), "1");

    EXPECT_EQ(Start(), "folder=" + first);  // trusted from now on
    EXPECT_EQ(ReadSettingString("pathdata"), "");
    EXPECT_TRUE(urls.Lines().empty());
}

TEST_F(DataFolder, LostTestFileLeadsToAFreshChoiceAndNotice102) {
    const std::string first = DataFolderCandidate(1);
    ASSERT_EQ(Start(), "folder=" + first);
    ASSERT_TRUE(DeleteFileA(TestFileOf(first).c_str()));
    EXPECT_EQ(Start(), "folder=" + first);
    EXPECT_EQ(ReadSettingString("pathind"), "1");
    EXPECT_EQ(ReadSettingString("pathdata"), "");  // no second test of the same folder
    const std::vector<std::string> lines = urls.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "https://kestrella.example/vantora/error.php?error=102");
}

TEST_F(DataFolder, LostFolderIsMadeAgain) {
    const std::string first = DataFolderCandidate(1);
    ASSERT_EQ(Start(), "folder=" + first);
    RemoveTree(first);
    EXPECT_EQ(Start(), "folder=" + first);
    EXPECT_TRUE(FolderExists(first));
    EXPECT_EQ(urls.WaitForLines(1).size(), 1u);  // 102: the same candidate again
}

TEST_F(DataFolder, UnwritableFirstCandidateLeadsToTheSecond) {
    Block(DataFolderCandidate(1));
    const std::string second = DataFolderCandidate(2);
    EXPECT_EQ(Start(), "folder=" + second);
    EXPECT_EQ(ReadSettingString("pathind"), "2");
    EXPECT_EQ(Start(), "folder=" + second);
    EXPECT_EQ(ReadSettingString("pathdata"), "");
    EXPECT_TRUE(urls.Lines().empty());
}

TEST_F(DataFolder, NoWritableCandidateSays101And103) {
    for (int i = 1; i <= 5; ++i) {
        if (!DataFolderCandidate(i).empty()) Block(DataFolderCandidate(i));
    }
    MessageBoxSeen box;
    const std::vector<std::string> report = RunChildTest(kChild, [&] { box = AnswerMessageBox(); });
    EXPECT_TRUE(box.found);
    EXPECT_EQ(box.text, "Failed to write Data files");
    EXPECT_EQ(report, std::vector<std::string>{"folder="});
    EXPECT_EQ(ReadSettingString("pathind"), "");
    std::vector<std::string> lines = urls.WaitForLines(2);
    std::sort(lines.begin(), lines.end());  // two shell opens in a row may log in either order
    const std::vector<std::string> expected = {"https://kestrella.example/vantora/error.php?error=101",
                                               "https://kestrella.example/vantora/error.php?error=103"};
    EXPECT_EQ(lines, expected);
}

TEST_F(DataFolder, CorruptIndexIsAnError) {
    WriteSettingString("pathind", "9");
    EXPECT_EQ(Start(), "exception=Wrong pathind");
    WriteSettingString("pathind", "-1");
    EXPECT_EQ(Start(), "exception=Wrong pathind");
}

TEST_F(DataFolder, DamagedTestRecordMeansAFreshChoice) {
    const std::string first = DataFolderCandidate(1);
    ASSERT_EQ(Start(), "folder=" + first);
    const std::string testFile = TestFileOf(first);
    WriteSettingString("pathdata", "no comma");
    EXPECT_EQ(Start(), "folder=" + first);
    EXPECT_EQ(ReadSettingString("pathdata"), "");
    EXPECT_EQ(urls.WaitForLines(1).size(), 1u);
    DeleteFileA(testFile.c_str());
}

TEST(DataFolderFile, TestFileIsVerifiedAndRemovedWhenWrong) {
    TestFolder dir;
    const std::string file = dir / "1234";
    EXPECT_TRUE(TestDataFile(file, 99999999, false));
    EXPECT_EQ(ReadWholeFile(file), std::string("\xFF\xE0\xF5\x05", 4));
    EXPECT_TRUE(TestDataFile(file, 99999999, true));
    EXPECT_FALSE(TestDataFile(file, 5, true));  // wrong value: removed
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(TestDataFile(file, 5, true));  // missing
    WriteWholeFile(file, "ab");
    EXPECT_FALSE(TestDataFile(file, 0, true));  // short
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(TestDataFile(dir / "missing\\1", 1, false));
}

}  // namespace

namespace {

TEST(WebErrorNotice, OpensTheErrorPageThroughTheShell) {
    UrlLog urls;
    SendWebErrorNotice(121, 0x4010AB, "Z0012FF00,at x & y");
    const std::vector<std::string> lines = urls.WaitForLines(1);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(
        lines[0],
        "https://kestrella.example/vantora/error.php?error=121&eradr=004010AB&comment=Z0012FF00%2Cat%20x%20%26%20y");
}

}  // namespace
