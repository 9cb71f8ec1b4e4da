#include <gtest/gtest.h>

#include "app/Exception.h"
#include "catalogue/SaverList.h"

namespace {

using namespace std::string_literals;

const std::string kHeader = "VT\x00\x00\x02\x01"s;

std::string Saved(const TSaverList& list) {
    std::string bytes;
    list.SaveToStream(bytes);
    return bytes;
}

TSaverList Loaded(std::string_view bytes) {
    TSaverList list;
    list.LoadFromStream(bytes);
    return list;
}

TSaverList Sample() {
    TSaverList list;
    list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    TSaverItem off = MakeSaverItem("Starfield \xE9t\xE9", "C:\\Windows\\System32\\stars.scr");
    off.Checked = false;
    off.Reserved = -2;
    list.Add(off);
    TSaverItem zeros = MakeSaverItem("", "C:\\x.scr");
    zeros.Checked = false;  // five zero bytes after the second separator
    list.Add(zeros);
    TSaverItem reserved = MakeSaverItem("R", "");
    reserved.Reserved = 0x7F00FF01;
    list.Add(reserved);
    return list;
}

void ExpectSame(const TSaverList& a, const TSaverList& b) {
    ASSERT_EQ(a.Count(), b.Count());
    for (int i = 0; i < a.Count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.GetItem(i).Description, b.GetItem(i).Description);
        EXPECT_EQ(a.GetItem(i).FilePath, b.GetItem(i).FilePath);
        EXPECT_EQ(a.GetItem(i).Checked, b.GetItem(i).Checked);
        EXPECT_EQ(a.GetItem(i).Reserved, b.GetItem(i).Reserved);
    }
}

TEST(ListFile, EncodesTheDocumentedEntryByteForByte) {
    TSaverList list;
    list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    EXPECT_EQ(Saved(list), kHeader + "\x16\x00"s + "Blank\x00"s + "C:\\W\\b.scr\x00"s + "\x01\x00\x00\x00\x00"s);
    EXPECT_EQ(Saved(TSaverList()), kHeader);
}

TEST(ListFile, RoundTripsOrderTicksAndReserved) {
    TSaverList original = Sample();
    ExpectSame(Loaded(Saved(original)), original);
    EXPECT_EQ(Loaded(kHeader).Count(), 0);
}

TEST(ListFile, EveryTruncationKeepsTheEntriesBeforeTheCut) {
    TSaverList original = Sample();
    std::string bytes = Saved(original);
    std::vector<size_t> ends;  // offset just past each record
    size_t offset = kHeader.size();
    for (int i = 0; i < original.Count(); ++i) ends.push_back(offset += original.EncodeItem(i).size());

    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        int complete = 0;
        while (complete < static_cast<int>(ends.size()) && ends[static_cast<size_t>(complete)] <= cut) ++complete;
        TSaverList loaded = Loaded(std::string_view(bytes).substr(0, cut));
        ASSERT_EQ(loaded.Count(), complete);
        for (int i = 0; i < complete; ++i) EXPECT_EQ(loaded.GetItem(i).FilePath, original.GetItem(i).FilePath);
    }
}

TEST(ListFile, StopsQuietlyOnBadInput) {
    EXPECT_EQ(Loaded("V").Count(), 0);
    EXPECT_EQ(Loaded("VT").Count(), 0);
    EXPECT_EQ(Loaded("XY\x00\x00\x02\x01\x08\x00"s "a\x00" "b\x00" "\x01\x00\x00\x00"s).Count(), 0);  // magic
    // A zero length word ends the list even when records follow.
    TSaverList sample = Sample();
    EXPECT_EQ(Loaded(kHeader + "\x00\x00"s + sample.EncodeItem(0)).Count(), 0);
    // Any version is accepted.
    EXPECT_EQ(Loaded("VT\xFF\xFE\xFD\xFC"s + sample.EncodeItem(0)).Count(), 1);
    // A body with fewer than five bytes after its second separator ends the reading there.
    EXPECT_EQ(Loaded(kHeader + sample.EncodeItem(0) + "\x06\x00"s "a\x00" "b\x00" "\x01\x00"s + sample.EncodeItem(1))
                  .Count(),
              1);
}

TEST(ListFile, DecodesBodiesWithoutSeparatorsAsEmptyEntries) {
    TSaverItem item;
    ASSERT_TRUE(TSaverList::DecodeItem("no separators", item));
    EXPECT_EQ(item.Description, "");
    EXPECT_EQ(item.FilePath, "");
    EXPECT_FALSE(item.Checked);
    ASSERT_TRUE(TSaverList::DecodeItem("desc\x00path-without-end"s, item));
    EXPECT_EQ(item.Description, "desc");
    EXPECT_EQ(item.FilePath, "");
    EXPECT_FALSE(item.Checked);
    ASSERT_TRUE(TSaverList::DecodeItem("d\x00p\x00\x02\x01\x00\x00\x00" "extra"s, item));
    EXPECT_TRUE(item.Checked);
    EXPECT_EQ(item.Reserved, 1);
}

TEST(ListFile, RefusesEntriesThatCouldNotBeReadBack) {
    TSaverList list;
    list.Add(MakeSaverItem("bad\x00name"s, "C:\\x.scr"));
    std::string bytes;
    EXPECT_THROW(list.SaveToStream(bytes), EListError);
    TSaverList huge;
    huge.Add(MakeSaverItem(std::string(70000, 'x'), "C:\\x.scr"));
    EXPECT_THROW(huge.SaveToStream(bytes), EListError);
}

}  // namespace
