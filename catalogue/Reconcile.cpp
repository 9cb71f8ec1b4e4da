#include "catalogue/Reconcile.h"

#include <iterator>
#include <map>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "app/Text.h"

bool IsScreensaverFileName(std::string_view fileName) {
    const size_t dot = fileName.rfind('.');
    if (dot == std::string_view::npos || AsciiLower(fileName.substr(dot)) != ".scr") return false;
    return AsciiLower(fileName) != "vantora.scr";
}

namespace {

std::string NameKey(std::string_view path) { return AsciiLower(FileNameOf(path)); }

// The found files of one file name, in scan order, and how many of them entries have taken.
struct NameLines {
    std::vector<size_t> lines;
    size_t taken = 0;
};

// The catalogue as a linked sequence, so that an entry goes in before another in O(1). The first
// entry whose description sorts after a new one is always a strict running maximum of the
// sequence, so a map of those maxima (increasing along the sequence) finds it by binary search.
class Placement {
public:
    void Append(TSaverItem item) {
        const size_t node = Store(std::move(item));
        if (tail_ == kNone) {
            head_ = node;
        } else {
            next_[tail_] = node;
        }
        tail_ = node;
        if (maxima_.empty() || maxima_.rbegin()->first < keys_[node])
            maxima_.emplace_hint(maxima_.end(), keys_[node], node);
    }

    void Place(TSaverItem item) {
        const std::string key = AsciiLower(item.Description);
        if (tail_ == kNone || keys_[tail_] < key) return Append(std::move(item));
        const auto after = maxima_.upper_bound(key);
        if (after == maxima_.end()) return Append(std::move(item));

        const size_t node = Store(std::move(item));
        const size_t before = prev_[after->second];
        next_[node] = after->second;
        prev_[node] = before;
        prev_[after->second] = node;
        if (before == kNone) {
            head_ = node;
        } else {
            next_[before] = node;
        }
        // Everything before the new entry sorts at or below it: it is a new maximum unless one equals it.
        if (after == maxima_.begin() || std::prev(after)->first < keys_[node])
            maxima_.emplace_hint(after, keys_[node], node);
    }

    void MoveInto(TSaverList& list) {
        list.Clear();
        for (size_t node = head_; node != kNone; node = next_[node])
            list.Add(items_[node]);
    }

private:
    static constexpr size_t kNone = static_cast<size_t>(-1);

    size_t Store(TSaverItem item) {
        keys_.push_back(AsciiLower(item.Description));
        items_.push_back(std::move(item));
        next_.push_back(kNone);
        prev_.push_back(tail_);
        return items_.size() - 1;
    }

    std::vector<TSaverItem> items_;
    std::vector<std::string> keys_;
    std::vector<size_t> next_, prev_;
    size_t head_ = kNone, tail_ = kNone;
    std::map<std::string, size_t> maxima_;
};

}  // namespace

void ReconcileSavers(TSaverList& savers,
                     std::vector<std::string>& found,
                     const std::function<bool(const std::string&)>& fileExists,
                     const std::function<std::string(const std::string&)>& describe) {
    // A found line equal to an entry's path has that entry's file name too, so matching by the
    // lower-cased file name alone picks the same first line as comparing paths first.
    std::unordered_map<std::string, NameLines> linesByName;
    linesByName.reserve(found.size());
    for (size_t j = 0; j < found.size(); ++j)
        linesByName[NameKey(found[j])].lines.push_back(j);

    std::vector<bool> lineTaken(found.size(), false);
    std::unordered_set<std::string> catalogued;
    catalogued.reserve(static_cast<size_t>(savers.Count()) + found.size());
    Placement placement;
    for (int i = 0; i < savers.Count(); ++i) {
        TSaverItem& item = savers.ItemPtr(i);
        std::string key = NameKey(item.FilePath);
        const auto match = linesByName.find(key);
        if (match == linesByName.end() || match->second.taken == match->second.lines.size()) continue;
        const size_t j = match->second.lines[match->second.taken++];
        lineTaken[j] = true;
        // While the old file is still there the user's entry keeps it; the copy elsewhere is not added.
        if (found[j] != item.FilePath && !fileExists(item.FilePath)) item.FilePath = found[j];
        catalogued.insert(std::move(key));
        placement.Append(std::move(item));
    }

    std::vector<std::string> skipped;
    for (size_t j = 0; j < found.size(); ++j) {
        if (lineTaken[j]) continue;
        // The same file name in a later folder: the first folder scanned wins.
        if (!catalogued.insert(NameKey(found[j])).second) {
            skipped.push_back(std::move(found[j]));
            continue;
        }
        std::string description = describe(found[j]);
        placement.Place(MakeSaverItem(std::move(description), std::move(found[j])));
    }
    placement.MoveInto(savers);
    found = std::move(skipped);
}
