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

TEST(SaverList, DeletesAndClearsButBadIndexesRaiseListErrorsAndChangeNothing) {
    TSaverList list = ListOf({"a", "b", "c"});
    try {
        list.Delete(3);
        FAIL() << "Delete(Count) must throw";
    } catch (const EListError& e) {
        EXPECT_EQ(e.Message(), "List index exceeds bounds (3)");
        EXPECT_STREQ(e.ClassName(), "EListError");
    }
    EXPECT_THROW(list.GetItem(-1), EListError);
    EXPECT_EQ(Names(list), "a b c ");
    list.Delete(1);
    EXPECT_EQ(Names(list), "a c ");
    list.Clear();
    EXPECT_EQ(list.Count(), 0);
}

}  // namespace
