// The data folder across starts: every start is a new process of this program running the
// hidden DataFolderChild test, as the real program would at its next start.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "app/Exception.h"
#include "app/Random.h"
#include "settings/DataFolder_win.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/SettingsSupport.h"

namespace {

const std::string kNotice = "https://kestrella.example/vantora/error.php?error=";

std::string InstallPath() {
    TRegistry reg(KEY_READ, HKEY_LOCAL_MACHINE);
    return reg.OpenKey(kInstallKey, false) ? reg.ReadString("Path") : "";
}

TEST(DataFolderChild, DISABLED_Start) {
    SeedRandom(GetTickCount());
    try {
        ChildReport("folder=" + GetDataFolder(InstallPath(), StartNotices::Show));
    } catch (const Exception& e) {
        ChildReport("exception=" + e.Message());
    }
}

class DataFolder : public ::testing::Test {
protected:
    void SetUp() override {
        SetInstallPath(install.path());
        // A child that has just ended may still hold a file of its folder for a moment.
        for (int i = 1; i <= 5; ++i) {
            const DWORD start = GetTickCount();
            do {
                DeleteFileA(Candidate(i).c_str());
                RemoveTree(Candidate(i));
            } while (GetFileAttributesA(Candidate(i).c_str()) != INVALID_FILE_ATTRIBUTES &&
                     GetTickCount() - start < 10000 && (Sleep(50), true));
            ASSERT_EQ(GetFileAttributesA(Candidate(i).c_str()), INVALID_FILE_ATTRIBUTES) << Candidate(i);
        }
        DeleteSetting("pathind");
        DeleteSetting("pathdata");
    }
    void TearDown() override {
        SetUp();
        SetInstallPath("");
    }

    std::string Candidate(int index) const { return DataFolderCandidate(index, install.path()); }
    static std::string Start(const std::function<void()>& meanwhile = [] {}) {
        const std::vector<std::string> lines = RunChildTest("DataFolderChild.DISABLED_Start", meanwhile);
        return lines.size() == 1 ? lines[0] : "(no report)";
    }
    static std::string TestFileName() {
        const std::string pathData = ReadSettingString("pathdata");
        return pathData.substr(pathData.find(',') + 1);
    }

    TestFolder install;
    UrlLog urls;
};

// A "pathind" that is no number reads as 0, none chosen yet, like a fresh profile: the same
// silent choice, without a report.
TEST_F(DataFolder, FreshProfileChoosesTheFirstCandidateAndChecksItOnce) {
    const std::string first = Candidate(1);
    ASSERT_EQ(first, AppDataFolder() + "\\Vantora");
    for (const std::string stored : {"", "abc"}) {
        SetUp();
        if (!stored.empty()) WriteSettingString("pathind", stored);
        EXPECT_EQ(Start(), "folder=" + first) << stored;
        EXPECT_EQ(ReadSettingString("pathind"), "1");
        const std::string testFile = first + "\\" + TestFileName();
        EXPECT_TRUE(FileExists(testFile));

        EXPECT_EQ(Start(), "folder=" + first);  // the check passes, and removes its traces
        EXPECT_FALSE(FileExists(testFile));
        EXPECT_EQ(ReadSettingString("pathdata"), "");
        EXPECT_EQ(Start(), "folder=" + first);  // trusted from now on
        EXPECT_EQ(ReadSettingString("pathind"), "1");
        EXPECT_TRUE(urls.Lines().empty());
    }
}

// A failed check leads to a fresh choice; landing on the same candidate again says 102, does not
// test the same folder a second time, and leaves no test file behind: neither the fresh one nor
// the old one when the damaged record still names it.
TEST_F(DataFolder, FailedCheckLeadsToAFreshChoiceAndNotice102WithoutLeftovers) {
    const std::string first = Candidate(1);
    const struct {
        const char* damage;
        std::function<void(const std::string& testFile)> apply;
        bool oldFileStays;  // only when no record names it any more
    } cases[] = {
        {"file deleted", [&](const std::string& name) { DeleteFileA((first + "\\" + name).c_str()); }, false},
        {"folder removed", [&](const std::string&) { RemoveTree(first); }, false},
        {"value not a number", [](const std::string& name) { WriteSettingString("pathdata", "x," + name); }, false},
        {"number not a number", [](const std::string&) { WriteSettingString("pathdata", "5,y"); }, true},
        {"no comma", [](const std::string&) { WriteSettingString("pathdata", "no comma"); }, true},
    };
    size_t notices = 0;
    for (const auto& c : cases) {
        SetUp();
        ASSERT_EQ(Start(), "folder=" + first);
        const std::string oldFile = TestFileName();
        c.apply(oldFile);
        EXPECT_EQ(Start(), "folder=" + first) << c.damage;
        EXPECT_EQ(ReadSettingString("pathind"), "1");
        EXPECT_EQ(ReadSettingString("pathdata"), "");
        EXPECT_EQ(NamesMatching(first + "\\*"),
                  c.oldFileStays ? std::vector<std::string>{oldFile} : std::vector<std::string>{})
            << c.damage;
        ++notices;
        EXPECT_EQ(urls.WaitForLines(notices), std::vector<std::string>(notices, kNotice + "102"));
    }
}

// Candidates are tried in order past the unwritable ones; the next start finds the one chosen by
// its stored index. With none writable the box and notices 101 and 103 say so.
TEST_F(DataFolder, UnwritableCandidatesAreSkippedInOrder) {
    for (int blocked = 1; blocked <= 5; ++blocked) {
        SetUp();
        for (int i = 1; i <= blocked; ++i)
            WriteWholeFile(Candidate(i), "in the way");  // a plain file: nothing can be written below it
        if (blocked < 5) {
            EXPECT_EQ(Start(), "folder=" + Candidate(blocked + 1)) << blocked;
            EXPECT_EQ(ReadSettingString("pathind"), std::to_string(blocked + 1));
            EXPECT_EQ(Start(), "folder=" + Candidate(blocked + 1)) << blocked;
            EXPECT_TRUE(urls.Lines().empty()) << blocked;
            continue;
        }
        MessageBoxSeen box;
        EXPECT_EQ(Start([&] { box = AnswerMessageBox(); }), "folder=");
        EXPECT_EQ(box.text, "Failed to write Data files");
        EXPECT_EQ(ReadSettingString("pathind"), "");
        std::vector<std::string> lines = urls.WaitForLines(2);
        std::sort(lines.begin(), lines.end());  // two shell opens in a row may log in either order
        EXPECT_EQ(lines, (std::vector<std::string>{kNotice + "101", kNotice + "103"}));
    }
}

}  // namespace
