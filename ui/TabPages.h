// Bookkeeping of tab controls and their pages: which windows belong to which page, what to hide and
// show on a page change, and the process-wide list of tab controls that owners are told about when
// they paint. Windows are opaque numbers here. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using WindowRef = uintptr_t;

class PageSet {
public:
    // Index of the new, empty page.
    int AddPage();
    // Enters `window` under `page`; true when it must be hidden because `page` is not current.
    // A page that does not exist is ignored (false).
    bool AddWindow(int page, WindowRef window);

    struct Change {
        std::vector<WindowRef> hide;
        std::vector<WindowRef> show;
    };
    // Makes `page` current: the windows of the old current page to hide, then those of `page` to
    // show. A page that does not exist changes nothing.
    Change Select(int page);

    int CurrentPage() const { return current_; }
    int LastPage() const { return static_cast<int>(pages_.size()) - 1; }

private:
    bool Exists(int page) const { return page >= 0 && page < static_cast<int>(pages_.size()); }
    std::vector<std::vector<WindowRef>> pages_;
    int current_ = -1;
};

// The page a key moves to from `current` of `count` pages, as in every property sheet: Ctrl+Tab
// and Ctrl+PageDown the next one, Ctrl+Shift+Tab and Ctrl+PageUp the one before, wrapping at
// either end; -1 when the key changes no page. `key` is a virtual-key code.
int PageForKey(unsigned key, bool ctrl, bool shift, int current, int count);

// At most kMaxTabControls live tab controls per process; one more raises "TheTab_Last= 5".
class TabRegistry {
public:
    static constexpr int kMaxTabControls = 6;
    using PaintCallback = std::function<void(WindowRef tab)>;

    void Add(WindowRef tab, PaintCallback painted);
    void Remove(WindowRef tab);
    bool Contains(WindowRef tab) const;
    // Position of the last registered tab control; -1 when none.
    int Last() const { return static_cast<int>(tabs_.size()) - 1; }
    // A paint of `window`: the callback of `window` itself when it is a tab control, otherwise of
    // the first tab control whose parent it is; raises "can't find TheTab, H=…" when neither.
    void Painted(WindowRef window,
                 const std::function<WindowRef(WindowRef)>& parentOf,
                 const std::function<std::string(WindowRef)>& captionOf) const;

private:
    struct Entry {
        WindowRef tab;
        PaintCallback painted;
    };
    std::vector<Entry> tabs_;
};

// Up to kMaxLinkTargets addresses that link labels open instead of their captions, each held once;
// a label keeps the 1-based number of its entry, 0 meaning "open the caption".
class LinkTargetTable {
public:
    static constexpr int kMaxLinkTargets = 12;
    // The number of the new entry, or 0 when the table is full.
    intptr_t Add(const std::string& target);
    std::string TargetFor(intptr_t number, const std::string& caption) const;

private:
    std::vector<std::string> targets_;
};
