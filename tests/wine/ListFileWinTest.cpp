// The list file on disk: a failed save keeps the old file whole and leaves nothing behind, and
// opening a held file retries before it reports the file's name.
#include <gtest/gtest.h>

#include "app/Exception.h"
#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "tests/wine/WineTest.h"

namespace {

TEST(ListFileWin, AHeldFileIsRetriedThenNamedAndAFailedSaveKeepsTheOldFileWhole) {
    TestFolder dir;
    const std::string file = dir / "saverlist.dat";
    TSaverList list;
    list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    list.SaveToFile(file);
    const std::string before = ReadWholeFile(file);
    {
        UniqueFile held(CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_THROW(list.SaveToFile(file), EFCreateError);
        const DWORD start = GetTickCount();
        try {
            TSaverList().LoadFromFile(file);
            ADD_FAILURE() << "loading a held file must fail";
        } catch (const EFOpenError& e) {
            EXPECT_EQ(e.Message(), "Unable to open file \"" + file + "\"");
        }
        EXPECT_GE(GetTickCount() - start, 550u);
    }
    list.Add(MakeSaverItem(std::string("a\0b", 3), "C:\\x.scr"));
    EXPECT_THROW(list.SaveToFile(file), EListError);
    EXPECT_EQ(ReadWholeFile(file), before);
    EXPECT_EQ(NamesMatching(dir / "*"), std::vector<std::string>{"saverlist.dat"}) << "no temporary file left";
}

}  // namespace
