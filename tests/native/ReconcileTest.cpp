#include "catalogue/Reconcile.h"

#include <gtest/gtest.h>

#include <map>
#include <random>
#include <set>

#include "app/Text.h"

namespace {

using Files = std::vector<std::string>;

std::string NameKey(const std::string& path) { return AsciiLower(FileNameOf(path)); }

// The reconciliation as first written: every entry against every found line, every new line
// against every entry. Quadratic, but plainly the intended result. Returns the descriptions read.
int ReconcileByTheBook(TSaverList& savers,
                       Files& found,
                       const std::set<std::string>& existing,
                       const std::map<std::string, std::string>& descriptions) {
    for (int i = 0; i < savers.Count(); ++i) {
        const std::string p = savers.GetItem(i).FilePath;
        size_t j = 0;
        while (j < found.size() && found[j] != p && NameKey(found[j]) != NameKey(p))
            ++j;
        if (j == found.size()) {
            savers.Delete(i--);
            continue;
        }
        if (found[j] != p && existing.count(p) == 0) savers.ItemPtr(i).FilePath = found[j];
        found.erase(found.begin() + static_cast<long>(j));
    }
    Files skipped;
    int described = 0;
    for (const std::string& line : found) {
        bool known = false;
        for (int i = 0; i < savers.Count() && !known; ++i)
            known = NameKey(savers.GetItem(i).FilePath) == NameKey(line);
        if (known) {
            skipped.push_back(line);
            continue;
        }
        const TSaverItem item = MakeSaverItem(descriptions.at(line), line);
        const std::string d = AsciiLower(item.Description);
        ++described;
        int at = 0;
        while (at < savers.Count() && !(d < AsciiLower(savers.GetItem(at).Description)))
            ++at;
        const bool last = savers.Count() == 0 || AsciiLower(savers.GetItem(savers.Count() - 1).Description) < d;
        savers.Insert(last ? savers.Count() : at, item);
    }
    found = skipped;
    return described;
}

std::string Dump(const TSaverList& list) {
    std::string out;
    for (int i = 0; i < list.Count(); ++i) {
        const TSaverItem item = list.GetItem(i);
        out += item.Description + "|" + item.FilePath + "|" + std::to_string(item.Checked + 2 * item.Reserved) + "\n";
    }
    return out;
}

TEST(Reconcile, TakesScrFilesInAnyCaseButNotItself) {
    EXPECT_TRUE(IsScreensaverFileName("a.b.SCR") && !IsScreensaverFileName("a.scr.txt"));
    EXPECT_FALSE(IsScreensaverFileName("VANTORA.Scr") || IsScreensaverFileName("scr"));
}

// Random catalogues and scans with moved files, colliding names, case variants, unsorted user
// order, equal and prefix descriptions: the fast reconciliation must give exactly the book's
// result, order, ticks and skipped copies included, and describe only the files it adds.
TEST(Reconcile, MatchesTheBookOnRandomCatalogues) {
    std::mt19937 random(20240601);
    const Files folders = {"C:\\Windows", "C:\\Windows\\System32", "C:\\Windows\\SysWOW64", "D:\\Old"};
    const Files words = {"", "a", "A", "ab", "Ab", "b", "ba", "z", "\xE9t\xE9", "Z", "aa"};
    auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
    auto randomName = [&](size_t folder) {
        const std::string name = (pick(3) == 0 ? "\\S" : "\\s") + std::to_string(pick(12));
        return folders[folder] + name + (pick(2) ? ".scr" : ".SCR");
    };
    for (int round = 0; round < 3000; ++round) {
        std::set<std::string> existing;
        std::map<std::string, std::string> descriptions;
        TSaverList savers;
        for (size_t i = 0, entries = pick(10); i < entries; ++i) {
            TSaverItem item = MakeSaverItem(words[pick(words.size())], randomName(pick(folders.size())));
            item.Checked = pick(2) == 0;
            item.Reserved = static_cast<int32_t>(i);
            savers.Add(item);
            if (pick(2) == 0) existing.insert(item.FilePath);
        }
        Files found;
        for (size_t f = 0; f < 3; ++f) {
            std::set<std::string> paths;
            for (size_t i = pick(8); i > 0; --i)
                paths.insert(randomName(f));
            for (const std::string& path : paths) {
                found.push_back(path);
                existing.insert(path);
                descriptions[path] = words[pick(words.size())];
            }
        }
        TSaverList expected = savers;
        Files expectedFound = found;
        const int expectedDescribed = ReconcileByTheBook(expected, expectedFound, existing, descriptions);
        int described = 0;
        ReconcileSavers(
            savers, found, [&](const std::string& path) { return existing.count(path) != 0; },
            [&](const std::string& path) { return ++described, descriptions.at(path); });
        ASSERT_EQ(Dump(savers), Dump(expected)) << "round " << round;
        ASSERT_EQ(found, expectedFound) << "round " << round;
        ASSERT_EQ(described, expectedDescribed) << "round " << round;
    }
}

}  // namespace
