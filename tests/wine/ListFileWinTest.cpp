// The list file on disk: a failed save keeps the old file whole and leaves nothing behind, and
// opening a held file retries before it reports the file's name.
#include <gtest/gtest.h>

#include <thread>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "tests/wine/WineTest.h"

namespace {

UniqueFile HoldExclusively(const std::string& path) {
    return UniqueFile(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

// A fresh folder holding a list file of one entry.
class ListFileWin : public ::testing::Test {
protected:
    void SetUp() override {
        list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
        list.SaveToFile(file);
    }
    TestFolder dir;
    const std::string file = dir / "saverlist.dat";
    TSaverList list;
};

TEST_F(ListFileWin, AFailedSaveKeepsTheOldFileWhole) {
    const std::string before = ReadWholeFile(file);
    {
        UniqueFile held = HoldExclusively(file);
        ASSERT_TRUE(held);
        try {
            list.SaveToFile(file);
            FAIL() << "saving over a held file must fail";
        } catch (const EFCreateError& e) {
            // The file and the system's reason, for the box that shows it.
            EXPECT_EQ(e.Message().rfind("Unable to create file \"" + file + "\": ", 0), 0u) << e.Message();
            EXPECT_GT(e.Message().size(), file.size() + 26) << e.Message();
        }
    }
    EXPECT_THROW(list.SaveToFile(dir / "missing\\saverlist.dat"), EFCreateError);
    list.Add(MakeSaverItem(std::string("a\0b", 3), "C:\\x.scr"));
    EXPECT_THROW(list.SaveToFile(file), EListError);
    EXPECT_EQ(ReadWholeFile(file), before);
    EXPECT_EQ(NamesMatching(dir / "*"), std::vector<std::string>{"saverlist.dat"}) << "no temporary file left";
}

TEST_F(ListFileWin, OpeningRetriesThenReportsTheFileName) {
    UniqueFile held = HoldExclusively(file);
    ASSERT_TRUE(held);
    const DWORD start = GetTickCount();
    try {
        TSaverList().LoadFromFile(file);
        FAIL() << "loading a held file must fail";
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message(), "Unable to open file \"" + file + "\"");
    }
    EXPECT_GE(GetTickCount() - start, 550u);

    // Released during the retries: the load succeeds.
    std::thread release([&] {
        Sleep(250);
        held.reset();
    });
    TSaverList loaded;
    EXPECT_NO_THROW(loaded.LoadFromFile(file));
    release.join();
    EXPECT_EQ(loaded.Count(), 1);
}

}  // namespace
