// The owner-drawn checklist: a single-selection list box whose rows carry a check box in front of
// their text. The tick lives in the row's item data (bit 0 ticked, bit 1 locked). The list's
// parent must hand it WM_DRAWITEM (group boxes, tabs and pages of the toolkit do, or RelayDrawItem).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// Space toggles the selected row and tells the parent (id, LBN_SELCHANGE); a click left of the
// text toggles the row under it.
HWND CreateCheckList(HWND parent, int id, int x, int y, int width, int height);

// Side of the check box in pixels at this screen's DPI.
int CheckBoxSize();
void SetRowTick(HWND list, int row, uintptr_t value);
bool IsRowTicked(HWND list, int row);
// Flips the tick unless the row is locked, and redraws the list.
void ToggleRow(HWND list, int row);
// The row whose item rectangle holds client `y`, or -1.
int RowFromY(HWND list, int y);
// The text of a row, however long.
std::string RowText(HWND list, int row);
// The item data of every row, in order.
std::vector<uintptr_t> RowTicks(HWND list);

// Draws one check box of look `state` (0 unticked, 1 ticked, 2 mixed) at the left of `rect`,
// themed when possible; true when drawing succeeded.
bool DrawCheckBox(HWND window, HDC hdc, const RECT& rect, bool enabled, int state);
