#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <thread>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "tests/wine/WineTest.h"

namespace {

TSaverList Sample() {
    TSaverList list;
    list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    TSaverItem off = MakeSaverItem("Stars", "C:\\windows\\system32\\stars.scr");
    off.Checked = false;
    off.Reserved = 99;
    list.Add(off);
    return list;
}

UniqueFile HoldExclusively(const std::string& path) {
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// The entries of `folder`: the list file alone shows that no temporary file was left behind.
long EntriesIn(const TestFolder& folder) {
    return std::distance(std::filesystem::directory_iterator(folder.path()), std::filesystem::directory_iterator());
}

// A fresh folder holding a list file saved from Sample().
class ListFileWin : public ::testing::Test {
protected:
    void SetUp() override { Sample().SaveToFile(file); }
    TestFolder dir;
    const std::string file = dir / "saverlist.dat";
};

TEST_F(ListFileWin, SavesTheExactBytesAndLoadsThemBack) {
    std::string expected;
    Sample().SaveToStream(expected);
    EXPECT_EQ(ReadWholeFile(file), expected);

    TSaverList loaded;
    loaded.Add(MakeSaverItem("already", "there"));  // loading appends
    loaded.LoadFromFile(file);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.EncodeItem(2), Sample().EncodeItem(1));
    EXPECT_EQ(EntriesIn(dir), 1);
}

TEST_F(ListFileWin, AFailedSaveKeepsTheOldFileWhole) {
    std::string before = ReadWholeFile(file);

    TSaverList other;
    other.Add(MakeSaverItem("Other", "C:\\o.scr"));
    {
        UniqueFile held = HoldExclusively(file);
        ASSERT_TRUE(held);
        try {
            other.SaveToFile(file);
            FAIL() << "saving over a held file must fail";
        } catch (const EFCreateError& e) {
            EXPECT_EQ(e.Message(), "Unable to create file \"" + file + "\"");
        }
    }
    EXPECT_EQ(ReadWholeFile(file), before);
    EXPECT_EQ(EntriesIn(dir), 1);

    TSaverList bad;
    bad.Add(MakeSaverItem(std::string("a\0b", 3), "C:\\x.scr"));
    EXPECT_THROW(bad.SaveToFile(file), EListError);
    EXPECT_EQ(ReadWholeFile(file), before);

    EXPECT_THROW(other.SaveToFile(dir / "missing\\saverlist.dat"), EFCreateError);
}

TEST_F(ListFileWin, OpeningRetriesThenReportsTheFileName) {
    UniqueFile held = HoldExclusively(file);
    ASSERT_TRUE(held);
    DWORD start = GetTickCount();
    try {
        TSaverList list;
        list.LoadFromFile(file);
        FAIL() << "loading a held file must fail";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Unable to open file \"" + file + "\"");
        EXPECT_STREQ(e.ClassName(), "EFOpenError");
    }
    EXPECT_GE(GetTickCount() - start, 550u);

    // Released during the retries: the load succeeds.
    std::thread release([&] {
        Sleep(250);
        held.reset();
    });
    TSaverList list;
    EXPECT_NO_THROW(list.LoadFromFile(file));
    release.join();
    EXPECT_EQ(list.Count(), 2);
}

}  // namespace
