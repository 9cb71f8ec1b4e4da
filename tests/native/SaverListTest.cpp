#include "catalogue/SaverList.h"

#include <gtest/gtest.h>

#include "app/Exception.h"

namespace {

TSaverList ListOf(std::initializer_list<const char*> names) {
    TSaverList list;
    for (const char* n : names)
        list.Add(MakeSaverItem(n, std::string("C:\\W\\") + n + ".scr"));
    return list;
}

std::string Names(const TSaverList& list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i)
        out += list.GetItem(i).Description + " ";
    return out;
}

TEST(SaverList, NewEntriesAreTickedWithReservedZero) {
    TSaverList list = ListOf({"a"});
    EXPECT_EQ(list.Add(MakeSaverItem("b", "C:\\W\\b.scr")), 1);  // the new entry's index
    EXPECT_TRUE(list.GetItem(1).Checked);
    EXPECT_EQ(list.GetItem(1).Reserved, 0);
}

TEST(SaverList, InsertAppendsAtCountAndIgnoresBadIndexes) {
    TSaverList list = ListOf({"a", "b", "c"});
    for (int bad : {-1, 4})
        list.Insert(bad, MakeSaverItem("x", ""));
    EXPECT_EQ(Names(list), "a b c ");
    list.Insert(3, MakeSaverItem("d", ""));
    list.Insert(0, MakeSaverItem("z", ""));
    list.Insert(2, MakeSaverItem("m", ""));
    EXPECT_EQ(Names(list), "z a m b c d ");
}

TEST(SaverList, GetItemCopiesAndItemPtrWritesThrough) {
    TSaverList list = ListOf({"a"});
    TSaverItem copy = list.GetItem(0);
    copy.Checked = false;
    EXPECT_TRUE(list.GetItem(0).Checked);
    list.ItemPtr(0).Checked = false;
    EXPECT_FALSE(list.GetItem(0).Checked);
}

TEST(SaverList, DeletesAndClearsButBadIndexesRaiseListErrorsAndChangeNothing) {
    TSaverList list = ListOf({"a", "b", "c"});
    try {
        list.Delete(3);
        FAIL() << "Delete(Count) must throw";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index exceeds bounds (3)");
        EXPECT_STREQ(e.ClassName(), "EListError");
    }
    EXPECT_THROW(list.Delete(-1), EListError);
    EXPECT_THROW(list.ItemPtr(3), EListError);
    EXPECT_THROW(list.GetItem(-1), EListError);
    EXPECT_EQ(Names(list), "a b c ");
    list.Delete(1);
    EXPECT_EQ(Names(list), "a c ");
    list.Clear();
    list.Clear();  // harmless when empty
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
