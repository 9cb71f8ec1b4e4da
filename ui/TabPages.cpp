#include "ui/TabPages.h"

#include <algorithm>

#include "app/Exception.h"

int PageSet::AddPage() {
    pages_.emplace_back();
    return LastPage();
}

bool PageSet::AddWindow(int page, WindowRef window) {
    if (!Exists(page)) return false;
    pages_[static_cast<size_t>(page)].push_back(window);
    return page != current_;
}

PageSet::Change PageSet::Select(int page) {
    if (!Exists(page)) return {};
    Change change{Exists(current_) ? pages_[static_cast<size_t>(current_)] : std::vector<WindowRef>{},
                  pages_[static_cast<size_t>(page)]};
    current_ = page;
    return change;
}

void TabRegistry::Add(WindowRef tab, PaintCallback painted) {
    if (Last() >= kMaxTabControls - 1) throw Exception("TheTab_Last= " + std::to_string(Last()));
    tabs_.push_back({tab, std::move(painted)});
}

void TabRegistry::Remove(WindowRef tab) {
    tabs_.erase(std::remove_if(tabs_.begin(), tabs_.end(), [tab](const Entry& e) { return e.tab == tab; }),
                tabs_.end());
}

bool TabRegistry::Contains(WindowRef tab) const {
    return std::any_of(tabs_.begin(), tabs_.end(), [tab](const Entry& e) { return e.tab == tab; });
}

void TabRegistry::Painted(WindowRef window,
                          const std::function<WindowRef(WindowRef)>& parentOf,
                          const std::function<std::string(WindowRef)>& captionOf) const {
    auto found = std::find_if(tabs_.begin(), tabs_.end(), [window](const Entry& e) { return e.tab == window; });
    if (found == tabs_.end())
        found = std::find_if(tabs_.begin(), tabs_.end(), [&](const Entry& e) { return parentOf(e.tab) == window; });
    if (found == tabs_.end())
        throw Exception("can't find TheTab, H=" + std::to_string(window) + ", TheTab_Last=" + std::to_string(Last()) +
                        ", caption=" + captionOf(window));
    if (found->painted) found->painted(found->tab);
}

intptr_t LinkTargetTable::Add(const std::string& target) {
    // A window built again in the same process finds its addresses held, so the table never fills.
    for (size_t i = 0; i < targets_.size(); ++i) {
        if (targets_[i] == target) return static_cast<intptr_t>(i + 1);
    }
    if (static_cast<int>(targets_.size()) >= kMaxLinkTargets) return 0;
    targets_.push_back(target);
    return static_cast<intptr_t>(targets_.size());
}

std::string LinkTargetTable::TargetFor(intptr_t number, const std::string& caption) const {
    if (number < 1 || number > static_cast<intptr_t>(targets_.size())) return caption;
    return targets_[static_cast<size_t>(number - 1)];
}

int PageForKey(unsigned key, bool ctrl, bool shift, int current, int count) {
    constexpr unsigned kTab = 0x09, kPageUp = 0x21, kPageDown = 0x22;
    if (!ctrl || count <= 0) return -1;
    int step = 0;
    if (key == kTab) step = shift ? -1 : 1;
    if (key == kPageDown) step = 1;
    if (key == kPageUp) step = -1;
    if (step == 0) return -1;
    return ((current < 0 ? 0 : current) + step + count) % count;
}
