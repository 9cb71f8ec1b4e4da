#include "ui/ControlKinds.h"

#include <algorithm>

namespace {

// Window style bits, spelled out so this file needs no Windows header.
constexpr uint32_t kChild = 0x40000000;
constexpr uint32_t kClipSiblings = 0x04000000;
constexpr uint32_t kVScroll = 0x00200000;
constexpr uint32_t kTabStop = 0x00010000;
constexpr uint32_t kClientEdge = 0x00000200;
constexpr uint32_t kControlParent = 0x00010000;

constexpr uint32_t kSibling = kChild | kClipSiblings;

constexpr ControlSpec kSpecs[] = {
    /* Edit: ES_AUTOHSCROLL */ {"EDIT", kSibling | kTabStop | 0x0080, kClientEdge, nullptr, true, true},
    /* Tab: TCS_HOTTRACK */ {"SysTabControl32", kSibling | kTabStop | 0x0040, 0, nullptr, true, true},
    /* Label: SS_NOPREFIX */ {"STATIC", kChild | 0x0080, 0, nullptr, false, true},
    /* TitleLabel */ {"STATIC", kSibling | 0x0080, 0, nullptr, false, false},
    /* Button: BS_PUSHBUTTON */ {"BUTTON", kSibling | kTabStop | 0x0000, 0, nullptr, true, true},
    /* CheckBox: BS_AUTOCHECKBOX */ {"BUTTON", kSibling | kTabStop | 0x0003, 0, nullptr, true, true},
    /* GroupBox: BS_GROUPBOX */ {"BUTTON", kSibling | 0x0007, kControlParent, nullptr, false, true},
    /* CheckList: LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS */
    {"LISTBOX", kSibling | kVScroll | kTabStop | 0x0051, kClientEdge, "Checklist_PR", true, true},
    /* ComboBox: CBS_DROPDOWNLIST | CBS_HASSTRINGS */
    {"COMBOBOX", kSibling | kVScroll | kTabStop | 0x0203, 0, nullptr, true, true},
    /* Image */ {"Timage1_PR", kSibling, 0, "Image1 PR", false, false},
    /* Page */ {"Tallowen TPage", kChild, kControlParent, "Page", false, false},
    /* UpDown: WS_VISIBLE | WS_BORDER | UDS_NOTHOUSANDS | UDS_ALIGNRIGHT | UDS_SETBUDDYINT */
    {"msctls_updown32", kChild | 0x10000000 | 0x00800000 | 0x0086, 0, nullptr, false, false},
};

}  // namespace

const ControlSpec& SpecOf(ControlKind kind) { return kSpecs[static_cast<int>(kind)]; }

std::string ImageClassName(int serial) {
    return std::string(SpecOf(ControlKind::Image).className) + std::to_string(serial);
}

int ClampToRange(int64_t value, int lower, int upper) {
    const int64_t low = std::min(lower, upper), high = std::max(lower, upper);
    return static_cast<int>(std::clamp<int64_t>(value, low, high));
}
