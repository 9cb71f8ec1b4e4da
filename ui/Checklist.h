// The decisions of the owner-drawn checklist: which row a point hits, whether a click lands in the
// check strip, how a row's item data toggles and which check-box look it gets. No Windows headers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Side of the check box in layout units; the clickable strip is two pixels wider than the box.
constexpr int kCheckBoxLayoutSize = 13;

// A row's vertical extent in client pixels, top included and bottom excluded, as the list box
// reports item rectangles: the pixel row at `bottom` is the next row's.
struct RowSpan {
    int top = 0;
    int bottom = 0;
};

// Index of the row whose span holds `y`, or -1.
int RowAtY(const std::vector<RowSpan>& rows, int y);

bool InCheckStrip(int x, int checkBoxSize);

// Item data: bit 0 ticked, bit 1 locked; only the low byte counts.
bool IsRowLocked(uintptr_t itemData);
bool IsTicked(uintptr_t itemData);
// The item data after a toggle: bit 0 flipped, unless the row is locked.
uintptr_t ToggledItemData(uintptr_t itemData);

// The look a row's check box is drawn with: 0 unticked, 1 ticked, 2 mixed; 3 and above unticked.
int RowDrawState(uintptr_t itemData);
// The themed button state (BP_CHECKBOX part) and the classic DrawFrameControl flags for a look.
int ThemeCheckStateId(int state, bool enabled);
unsigned FrameControlFlags(int state, bool enabled);

struct BoxRect {
    int left = 0, top = 0, right = 0, bottom = 0;
};
// The check box of a row: one pixel in from the left, centred vertically (rounding toward zero).
BoxRect CheckBoxIn(const BoxRect& row, int checkBoxSize);
