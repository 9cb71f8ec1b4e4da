#include "catalogue/Reconcile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "app/Text.h"

namespace {

using Files = std::vector<std::string>;

// The reconciliation exactly as first written: every entry against every found line, every new
// line against every entry. Slow, but plainly the intended result.
void ReconcileByTheBook(TSaverList& savers,
                        Files& found,
                        const std::set<std::string>& existing,
                        const std::map<std::string, std::string>& descriptions) {
    for (int i = 0; i < savers.Count();) {
        const std::string p = savers.GetItem(i).FilePath;
        const std::string n = AsciiLower(FileNameOf(p));
        size_t j = 0;
        while (j < found.size() && found[j] != p && AsciiLower(FileNameOf(found[j])) != n)
            ++j;
        if (j == found.size()) {
            savers.Delete(i);
            continue;
        }
        if (found[j] != p && existing.count(p) == 0) savers.ItemPtr(i).FilePath = found[j];
        found.erase(found.begin() + static_cast<long>(j));
        ++i;
    }
    Files skipped;
    for (const std::string& line : found) {
        bool known = false;
        for (int i = 0; i < savers.Count() && !known; ++i) {
            known = AsciiLower(FileNameOf(savers.GetItem(i).FilePath)) == AsciiLower(FileNameOf(line));
        }
        if (known) {
            skipped.push_back(line);
            continue;
        }
        const std::string d = descriptions.at(line);
        const TSaverItem item = MakeSaverItem(d, line);
        if (savers.Count() == 0 || AsciiLower(savers.GetItem(savers.Count() - 1).Description) < AsciiLower(d)) {
            savers.Add(item);
            continue;
        }
        int at = 0;
        while (at < savers.Count() && !(AsciiLower(d) < AsciiLower(savers.GetItem(at).Description)))
            ++at;
        if (at == savers.Count()) {
            savers.Add(item);
        } else {
            savers.Insert(at, item);
        }
    }
    found = skipped;
}

struct World {
    std::set<std::string> existing;
    std::map<std::string, std::string> descriptions;
    int describeCalls = 0;

    void Reconcile(TSaverList& savers, Files& found) {
        ReconcileSavers(
            savers, found, [&](const std::string& path) { return existing.count(path) != 0; },
            [&](const std::string& path) {
                ++describeCalls;
                return descriptions.at(path);
            });
    }
};

TSaverItem Entry(const std::string& description, const std::string& path, bool checked = true, int32_t reserved = 0) {
    TSaverItem item = MakeSaverItem(description, path);
    item.Checked = checked;
    item.Reserved = reserved;
    return item;
}

std::string Dump(const TSaverList& list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) {
        const TSaverItem item = list.GetItem(i);
        out += item.Description + "|" + item.FilePath + "|" + (item.Checked ? "x" : "-") + "|" +
               std::to_string(item.Reserved) + "\n";
    }
    return out;
}

TEST(Reconcile, TakesScreensaverFilesOnly) {
    EXPECT_TRUE(IsScreensaverFileName("X.Scr"));
    EXPECT_TRUE(IsScreensaverFileName("a.b.SCR"));
    EXPECT_FALSE(IsScreensaverFileName("Vantora.SCR"));
    EXPECT_FALSE(IsScreensaverFileName("vantora.scr"));
    EXPECT_TRUE(IsScreensaverFileName("vantora2.scr"));
    EXPECT_FALSE(IsScreensaverFileName("x.scr.bak"));
    EXPECT_FALSE(IsScreensaverFileName("scr"));
    EXPECT_FALSE(IsScreensaverFileName("x.exe"));
    EXPECT_TRUE(IsScreensaverFileName(".scr"));
}

TEST(Reconcile, NewSaversArePlacedByDescription) {
    World world;
    world.descriptions = {{"C:\\W\\b.scr", "beta"}, {"C:\\W\\a.scr", "Alpha"}, {"C:\\W\\g.scr", "gamma"}};
    TSaverList savers;
    Files found = {"C:\\W\\b.scr", "C:\\W\\a.scr", "C:\\W\\g.scr"};
    world.Reconcile(savers, found);
    EXPECT_EQ(Dump(savers), "Alpha|C:\\W\\a.scr|x|0\nbeta|C:\\W\\b.scr|x|0\ngamma|C:\\W\\g.scr|x|0\n");
    EXPECT_TRUE(found.empty());
}

TEST(Reconcile, EqualDescriptionGoesLastAndUserOrderIsKept) {
    World world;
    world.existing = {"C:\\W\\a.scr", "C:\\W\\m.scr", "C:\\W\\z.scr"};
    world.descriptions = {{"C:\\W\\m2.scr", "MOON"}, {"C:\\W\\b.scr", "b"}, {"C:\\W\\c.scr", "c"}};
    TSaverList savers;
    savers.Add(Entry("alpha", "C:\\W\\a.scr"));
    savers.Add(Entry("moon", "C:\\W\\m.scr"));
    Files found = {"C:\\W\\a.scr", "C:\\W\\m.scr", "C:\\W\\m2.scr"};
    world.Reconcile(savers, found);
    EXPECT_EQ(Dump(savers), "alpha|C:\\W\\a.scr|x|0\nmoon|C:\\W\\m.scr|x|0\nMOON|C:\\W\\m2.scr|x|0\n");

    // The user's order is not sorted: a new entry goes before the first one that sorts after it,
    // unless it sorts after the last entry, which sends it to the end.
    world.existing.insert("C:\\W\\x.scr");
    world.descriptions["C:\\W\\x.scr"] = "x";
    TSaverList unsorted;
    unsorted.Add(Entry("zebra", "C:\\W\\z.scr", false, 7));
    unsorted.Add(Entry("moon", "C:\\W\\m.scr"));
    found = {"C:\\W\\b.scr", "C:\\W\\c.scr", "C:\\W\\m.scr", "C:\\W\\x.scr", "C:\\W\\z.scr"};
    world.Reconcile(unsorted, found);
    EXPECT_EQ(Dump(unsorted),
              "b|C:\\W\\b.scr|x|0\nc|C:\\W\\c.scr|x|0\nzebra|C:\\W\\z.scr|-|7\nmoon|C:\\W\\m.scr|x|0\n"
              "x|C:\\W\\x.scr|x|0\n");
}

TEST(Reconcile, MovedFileKeepsItsTickAndPlace) {
    World world;
    TSaverList savers;
    savers.Add(Entry("first", "C:\\Windows\\a.scr"));
    savers.Add(Entry("foo", "C:\\Windows\\ssfoo.scr", false, 3));
    savers.Add(Entry("gone", "C:\\Windows\\gone.scr"));
    Files found = {"C:\\Windows\\a.scr", "C:\\Windows\\System32\\SSFOO.scr"};
    world.existing = {"C:\\Windows\\a.scr", "C:\\Windows\\System32\\SSFOO.scr"};
    world.Reconcile(savers, found);
    EXPECT_EQ(Dump(savers), "first|C:\\Windows\\a.scr|x|0\nfoo|C:\\Windows\\System32\\SSFOO.scr|-|3\n");
    EXPECT_TRUE(found.empty());
    EXPECT_EQ(world.describeCalls, 0);
}

TEST(Reconcile, OldPathThatStillExistsWinsAndTheCopyIsNotAdded) {
    World world;
    TSaverList savers;
    savers.Add(Entry("foo", "C:\\Windows\\ssfoo.scr"));
    // The Windows folder copy vanished from the scan (unreadable), but the file is still there.
    Files found = {"C:\\Windows\\System32\\ssfoo.scr", "C:\\Windows\\SysWOW64\\ssfoo.scr"};
    world.existing = {"C:\\Windows\\ssfoo.scr"};
    world.Reconcile(savers, found);
    EXPECT_EQ(Dump(savers), "foo|C:\\Windows\\ssfoo.scr|x|0\n");
    EXPECT_EQ(found, Files{"C:\\Windows\\SysWOW64\\ssfoo.scr"});
}

TEST(Reconcile, FirstFolderWinsForNewFiles) {
    World world;
    world.descriptions = {{"C:\\Windows\\System32\\ssfoo.scr", "Foo"}, {"C:\\Windows\\SysWOW64\\SSFoo.scr", "Foo32"}};
    TSaverList savers;
    Files found = {"C:\\Windows\\System32\\ssfoo.scr", "C:\\Windows\\SysWOW64\\SSFoo.scr"};
    world.Reconcile(savers, found);
    EXPECT_EQ(Dump(savers), "Foo|C:\\Windows\\System32\\ssfoo.scr|x|0\n");
    EXPECT_EQ(found, Files{"C:\\Windows\\SysWOW64\\SSFoo.scr"});
    EXPECT_EQ(world.describeCalls, 1);
}

TEST(Reconcile, DuplicateEntriesTakeSuccessiveFiles) {
    World world;
    TSaverList savers;
    savers.Add(Entry("one", "C:\\A\\x.scr"));
    savers.Add(Entry("two", "C:\\B\\x.scr"));
    savers.Add(Entry("three", "C:\\C\\x.scr"));
    Files found = {"C:\\B\\x.scr", "C:\\A\\X.SCR"};
    world.existing = {"C:\\B\\x.scr", "C:\\A\\X.SCR"};
    world.Reconcile(savers, found);
    // "one" takes the first line, B's, and moves there (C:\A\x.scr is gone under that spelling);
    // "two" takes the remaining line but stays, its own file exists; "three" finds no line.
    EXPECT_EQ(Dump(savers), "one|C:\\B\\x.scr|x|0\ntwo|C:\\B\\x.scr|x|0\n");
}

// Random catalogues and scans with colliding names, case variants, equal and prefix descriptions:
// the fast reconciliation must give exactly the book's result, order included.
TEST(Reconcile, MatchesTheBookOnRandomCatalogues) {
    std::mt19937 random(20240601);
    const std::vector<std::string> folders = {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\SysWOW64",
                                              "D:\\Old"};
    const std::vector<std::string> words = {"", "a", "A", "ab", "Ab", "b", "ba", "z", "\xE9t\xE9", "Z", "aa"};
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto randomName = [&] {
        std::string name = "s" + std::to_string(pick(12));
        if (pick(3) == 0) name = AsciiLower(name) == name ? "S" + name.substr(1) : name;
        return name + (pick(2) ? ".scr" : ".SCR");
    };
    for (int round = 0; round < 3000; ++round) {
        World world;
        TSaverList savers;
        const size_t entries = pick(10);
        for (size_t i = 0; i < entries; ++i) {
            const std::string path = folders[pick(folders.size())] + "\\" + randomName();
            savers.Add(Entry(words[pick(words.size())], path, pick(2) == 0, static_cast<int32_t>(i)));
            if (pick(2) == 0) world.existing.insert(path);
        }
        Files found;
        for (const std::string& folder : {folders[0], folders[1], folders[2]}) {
            std::set<std::string> names;
            const size_t count = pick(8);
            for (size_t i = 0; i < count; ++i)
                names.insert(randomName());
            for (const std::string& name : names) {
                found.push_back(folder + "\\" + name);
                world.existing.insert(found.back());
                world.descriptions[found.back()] = words[pick(words.size())];
            }
        }
        TSaverList expected = savers;
        Files expectedFound = found;
        ReconcileByTheBook(expected, expectedFound, world.existing, world.descriptions);
        world.Reconcile(savers, found);
        ASSERT_EQ(Dump(savers), Dump(expected)) << "round " << round;
        ASSERT_EQ(found, expectedFound) << "round " << round;
    }
}

}  // namespace
