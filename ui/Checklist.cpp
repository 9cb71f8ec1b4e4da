#include "ui/Checklist.h"

namespace {

// The system's values, spelled out here so this file needs no Windows header.
constexpr int kCheckStates[3][2] = {{4, 1}, {8, 5}, {12, 9}};  // [look][enabled]: CBS_* of BP_CHECKBOX
constexpr unsigned kFrameCheck = 0x0000;                       // DFCS_BUTTONCHECK
constexpr unsigned kFrameChecked = 0x0400;                     // DFCS_CHECKED
constexpr unsigned kFrameThreeState = 0x0008;                  // DFCS_BUTTON3STATE
constexpr unsigned kFrameInactive = 0x0100;                    // DFCS_INACTIVE

int LookIndex(int state) { return state == 0 ? 0 : state == 1 ? 1 : 2; }

}  // namespace

int RowAtY(const std::vector<RowSpan>& rows, int y) {
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].top <= y && y < rows[i].bottom) return static_cast<int>(i);
    return -1;
}

bool InCheckStrip(int x, int checkBoxSize) { return x >= 0 && x < checkBoxSize + 2; }

bool IsRowLocked(uintptr_t itemData) { return (itemData & 2) != 0; }

bool IsTicked(uintptr_t itemData) { return (itemData & 0xFF) != 0; }

uintptr_t ToggledItemData(uintptr_t itemData) {
    const uintptr_t low = itemData & 0xFF;
    return IsRowLocked(low) ? low : low ^ 1;
}

int RowDrawState(uintptr_t itemData) {
    const int low = static_cast<int>(itemData & 0xFF);
    return low < 3 ? low : 0;
}

int ThemeCheckStateId(int state, bool enabled) { return kCheckStates[LookIndex(state)][enabled ? 1 : 0]; }

unsigned FrameControlFlags(int state, bool enabled) {
    const unsigned look[3] = {kFrameCheck, kFrameChecked, kFrameChecked | kFrameThreeState};
    return look[LookIndex(state)] | (enabled ? 0u : kFrameInactive);
}

BoxRect CheckBoxIn(const BoxRect& row, int checkBoxSize) {
    BoxRect box;
    box.left = row.left + 1;
    box.top = row.top + (row.bottom - row.top - checkBoxSize) / 2;
    box.right = box.left + checkBoxSize;
    box.bottom = box.top + checkBoxSize;
    return box;
}
