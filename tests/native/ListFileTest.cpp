#include <gtest/gtest.h>

#include <tuple>

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

// Every field, so that a round trip that drops one shows.
auto Fields(const TSaverItem& item) {
    return std::make_tuple(item.Description, item.FilePath, item.Checked, item.Reserved);
}

TEST(ListFile, EncodesTheDocumentedEntryByteForByte) {
    TSaverList list;
    list.Add(MakeSaverItem("Blank", "C:\\W\\b.scr"));
    EXPECT_EQ(Saved(list), kHeader + "\x16\x00"s + "Blank\x00"s + "C:\\W\\b.scr\x00"s + "\x01\x00\x00\x00\x00"s);
    EXPECT_EQ(Saved(TSaverList()), kHeader);
    const std::string ticked2 = "\x09\x00"s + "a\x00"s + "b\x00"s + "\x02\x00\x00\x00\x00"s;
    EXPECT_TRUE(Loaded(kHeader + ticked2).GetItem(0).Checked) << "any non-zero byte is ticked";
}

// The whole file round-trips every field; a cut one keeps the entries before the cut.
TEST(ListFile, EveryTruncationKeepsTheEntriesBeforeTheCut) {
    TSaverList original = Sample();
    std::string bytes = Saved(original);
    std::vector<size_t> ends;  // offset just past each record
    size_t offset = kHeader.size();
    for (int i = 0; i < original.Count(); ++i)
        ends.push_back(offset += original.EncodeItem(i).size());

    for (size_t cut = 0; cut <= bytes.size(); ++cut) {
        SCOPED_TRACE(cut);
        int complete = 0;
        while (complete < static_cast<int>(ends.size()) && ends[static_cast<size_t>(complete)] <= cut)
            ++complete;
        TSaverList loaded = Loaded(std::string_view(bytes).substr(0, cut));
        ASSERT_EQ(loaded.Count(), complete);
        for (int i = 0; i < complete; ++i)
            EXPECT_EQ(Fields(loaded.GetItem(i)), Fields(original.GetItem(i))) << i;
    }
}

TEST(ListFile, StopsQuietlyOnBadInput) {
    EXPECT_EQ(Loaded("VT").Count(), 0);
    TSaverList sample = Sample();
    EXPECT_EQ(Loaded("XY" + kHeader.substr(2) + sample.EncodeItem(0)).Count(), 0);  // magic
    // A zero length word ends the list even when records follow.
    EXPECT_EQ(Loaded(kHeader + "\x00\x00"s + sample.EncodeItem(0)).Count(), 0);
    // Any version is accepted.
    EXPECT_EQ(Loaded("VT\xFF\xFE\xFD\xFC"s + sample.EncodeItem(0)).Count(), 1);
    // A body with fewer than five bytes after its second separator ends the reading there.
    const std::string shortTail = "\x08\x00"s + "a\x00"s + "b\x00"s + "\x01\x00\x00\x00"s;
    EXPECT_EQ(Loaded(kHeader + sample.EncodeItem(0) + shortTail + sample.EncodeItem(1)).Count(), 1);
}

// The length word holds at most 0xFFFF: two separators, five tail bytes and the texts.
TEST(ListFile, RefusesEntriesThatCouldNotBeReadBack) {
    const std::string path = "C:\\x.scr";
    const size_t longest = 0xFFFF - 7 - path.size();
    for (const auto& [description, fits] : {std::pair{"bad\x00name"s, false},
                                            {std::string(longest + 1, 'x'), false},
                                            {std::string(longest, 'x'), true}}) {
        TSaverList list;
        list.Add(MakeSaverItem(description, path));
        if (fits)
            EXPECT_EQ(Loaded(Saved(list)).GetItem(0).Description, description);
        else
            EXPECT_THROW(Saved(list), EListError);
    }
}

}  // namespace
