// The data folder across starts: every start is a new process of this program running the
// hidden DataFolderChild test, as the real program would at its next start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/Exception.h"
#include "app/Random.h"
#include "settings/DataFolder_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/SettingsSupport.h"

namespace {

const std::string kNotice = "https://kestrella.example/vantora/error.php?error=";

TEST(DataFolderChild, DISABLED_Start) {
    SeedRandom(GetTickCount());
    try {
        ChildReport("folder=" + GetDataFolder(""));
    } catch (const Exception& e) {
        ChildReport("exception=" + e.Message());
    }
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        for (int i = 1; i <= 5; ++i) {
            const std::string folder = DataFolderCandidate(i, "");
            if (folder.empty()) continue;
            DeleteFileA(folder.c_str());
            RemoveTree(folder);
        }
        DeleteSetting("pathind");
        DeleteSetting("pathdata");
    }
    void TearDown() override { SetUp(); }

    // A plain file where the folder should be: nothing can be written below it.
    static void Block(const std::string& folder) { WriteWholeFile(folder, "in the way"); }
    static std::string Start(const std::function<void()>& meanwhile = [] {}) {
        const std::vector<std::string> lines = RunChildTest("DataFolderChild.DISABLED_Start", meanwhile);
        return lines.size() == 1 ? lines[0] : "(no report)";
    }
    static std::string TestFileOf(const std::string& folder) {
        const std::string pathData = ReadSettingString("pathdata");
        return folder + "\\" + pathData.substr(pathData.find(',') + 1);
    }

    UrlLog urls;
};

TEST_F(DataFolder, FreshProfileChoosesTheFirstCandidateAndChecksItOnce) {
    const std::string first = DataFolderCandidate(1, "");
    ASSERT_EQ(first, AppDataFolder() + "\\Vantora");
    EXPECT_EQ(Start(), "folder=" + first);
    EXPECT_EQ(ReadSettingString("pathind"), "1");
    const std::string testFile = TestFileOf(first);
    EXPECT_TRUE(FileExists(testFile));

    EXPECT_EQ(Start(), "folder=" + first);  // the check passes, and removes its traces
    EXPECT_FALSE(FileExists(testFile));
    EXPECT_EQ(ReadSettingString("pathdata"), "");
    EXPECT_EQ(Start(), "folder=" + first);  // trusted from now on
    EXPECT_EQ(ReadSettingString("pathind"), "1");
    EXPECT_TRUE(urls.Lines().empty());
}

// A failed check leads to a fresh choice; landing on the same candidate again says 102 and does
// not test the same folder a second time.
TEST_F(DataFolder, FailedCheckLeadsToAFreshChoiceAndNotice102) {
    const std::string first = DataFolderCandidate(1, "");
    const std::function<void()> damages[] = {[&] { DeleteFileA(TestFileOf(first).c_str()); },
                                             [&] { RemoveTree(first); },
                                             [&] { WriteSettingString("pathdata", "no comma"); }};
    size_t notices = 0;
    for (const auto& damage : damages) {
        SetUp();
        ASSERT_EQ(Start(), "folder=" + first);
        damage();
        EXPECT_EQ(Start(), "folder=" + first) << notices;
        EXPECT_TRUE(FolderExists(first));
        EXPECT_EQ(ReadSettingString("pathind"), "1");
        EXPECT_EQ(ReadSettingString("pathdata"), "");
        ++notices;
        EXPECT_EQ(urls.WaitForLines(notices), std::vector<std::string>(notices, kNotice + "102"));
    }
}

TEST_F(DataFolder, UnwritableFirstCandidateLeadsToTheSecond) {
    Block(DataFolderCandidate(1, ""));
    const std::string second = DataFolderCandidate(2, "");
    EXPECT_EQ(Start(), "folder=" + second);
    EXPECT_EQ(ReadSettingString("pathind"), "2");
    EXPECT_EQ(Start(), "folder=" + second);
    EXPECT_TRUE(urls.Lines().empty());
}

TEST_F(DataFolder, NoWritableCandidateSays101And103) {
    for (int i = 1; i <= 5; ++i) {
        if (!DataFolderCandidate(i, "").empty()) Block(DataFolderCandidate(i, ""));
    }
    MessageBoxSeen box;
    EXPECT_EQ(Start([&] { box = AnswerMessageBox(); }), "folder=");
    EXPECT_EQ(box.text, "Failed to write Data files");
    EXPECT_EQ(ReadSettingString("pathind"), "");
    std::vector<std::string> lines = urls.WaitForLines(2);
    std::sort(lines.begin(), lines.end());  // two shell opens in a row may log in either order
    EXPECT_EQ(lines, (std::vector<std::string>{kNotice + "101", kNotice + "103"}));
}

TEST_F(DataFolder, CorruptIndexIsAnError) {
    for (const char* index : {"9", "-1"}) {
        WriteSettingString("pathind", index);
        EXPECT_EQ(Start(), "exception=Wrong pathind") << index;
    }
}

TEST(DataFolderFile, TestFileIsVerifiedAndRemovedWhenWrong) {
    TestFolder dir;
    const std::string file = dir / "1234";
    EXPECT_TRUE(TestDataFile(file, 99999999, false));
    EXPECT_EQ(ReadWholeFile(file), std::string("\xFF\xE0\xF5\x05", 4));
    EXPECT_TRUE(TestDataFile(file, 99999999, true));
    EXPECT_FALSE(TestDataFile(file, 5, true));  // wrong value: removed
    EXPECT_FALSE(FileExists(file));
    WriteWholeFile(file, "ab");
    EXPECT_FALSE(TestDataFile(file, 0, true));  // short: removed
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(TestDataFile(dir / "missing\\1", 1, false));
}

}  // namespace
