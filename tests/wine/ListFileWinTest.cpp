#include <gtest/gtest.h>

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

int FilesIn(const std::string& folder) {
    int n = 0;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA((folder + "\\*").c_str(), &data));
    if (find) {
        do {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) ++n;
        } while (FindNextFileA(find.get(), &data));
    }
    return n;
}

TEST(ListFileWin, SavesTheExactBytesAndLoadsThemBack) {
    TestFolder dir;
    std::string file = dir / "saverlist.dat";
    Sample().SaveToFile(file);
    std::string expected;
    Sample().SaveToStream(expected);
    EXPECT_EQ(ReadWholeFile(file), expected);

    TSaverList loaded;
    loaded.Add(MakeSaverItem("already", "there"));  // loading appends
    loaded.LoadFromFile(file);
    ASSERT_EQ(loaded.Count(), 3);
    EXPECT_EQ(loaded.GetItem(2).FilePath, "C:\\windows\\system32\\stars.scr");
    EXPECT_FALSE(loaded.GetItem(2).Checked);
    EXPECT_EQ(loaded.GetItem(2).Reserved, 99);
    EXPECT_EQ(FilesIn(dir.path()), 1);  // no temporary file left behind
}

TEST(ListFileWin, AFailedSaveKeepsTheOldFileWhole) {
    TestFolder dir;
    std::string file = dir / "saverlist.dat";
    Sample().SaveToFile(file);
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
    EXPECT_EQ(FilesIn(dir.path()), 1);

    TSaverList bad;
    bad.Add(MakeSaverItem(std::string("a\0b", 3), "C:\\x.scr"));
    EXPECT_THROW(bad.SaveToFile(file), EListError);
    EXPECT_EQ(ReadWholeFile(file), before);

    EXPECT_THROW(other.SaveToFile(dir / "missing\\saverlist.dat"), EFCreateError);
}

TEST(ListFileWin, OpeningRetriesThenReportsTheFileName) {
    TestFolder dir;
    std::string file = dir / "saverlist.dat";
    Sample().SaveToFile(file);

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
