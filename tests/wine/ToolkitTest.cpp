// The window toolkit's checklist with real windows and real input. The settings window's tests
// drive the rest of the toolkit end to end, and `make bench` counts its GDI and USER objects over long
// paint and tab loops.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/wine/WineTest.h"
#include "ui/Checklist_win.h"
#include "ui/Controls_win.h"
#include "ui/Theme_win.h"

namespace {

// The WM_COMMAND codes that reached the test window from its children.
std::vector<WPARAM> commands;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_COMMAND) commands.push_back(wParam);
    if (msg == WM_DRAWITEM) return RelayDrawItem(wParam, lParam);
    return msg == WM_COMMAND ? 0 : DefWindowProcA(hwnd, msg, wParam, lParam);
}

// Real clicks on rows of a checklist in a group box (which hands the list its drawing).
TEST(Toolkit, ChecklistTogglesInTheStripOnly) {
    ResetControls();
    LoadGuiFont();
    LoadThemeApi();
    const HWND owner = MakeTestWindow("VantoraToolkitOwner", "Toolkit", OwnerProc);
    SetForegroundWindow(owner);
    const HWND list = CreateCheckList(CreateGroupBox(owner, 30, "Savers", 10, 10, 300, 200), 6, 10, 20, 250, 150);
    for (uintptr_t data : {0, 0, 2})
        SetRowTick(list, static_cast<int>(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("saver"))),
                   data);
    UpdateWindow(list);
    const auto rowSpan = [&](int row) {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    };
    const int strip = CheckBoxSize() + 1;
    ASSERT_EQ(strip, 14) << "96 dpi";
    const int bottom = rowSpan(0).bottom - rowSpan(0).top - 1;
    // Clicks alternate rows and sides: two quick clicks near one spot would be a double click.
    const struct {
        int x, row, dy;
        std::vector<uintptr_t> ticks;
    } clicks[] = {
        {strip, 0, 2, {1, 0, 2}},      // in the strip: toggles
        {5, 1, 0, {1, 1, 2}},          // the boundary pixel row is the lower row's
        {strip + 1, 1, 2, {1, 1, 2}},  // right of the strip: selects only
        {5, 0, bottom, {0, 1, 2}},     // a row's bottom pixel is its own
        {5, 2, 2, {0, 1, 2}},          // mixed: locked
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(testing::Message() << "click " << c.x << " on row " << c.row << " at " << c.dy);
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ClickAt(list, c.x, static_cast<int>(rowSpan(c.row).top) + c.dy);
        ASSERT_TRUE(PumpUntil(
            [&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == c.row && !(GetKeyState(VK_LBUTTON) & 0x8000); }));
        EXPECT_EQ(RowTicks(list), c.ticks);
    }

    // Space toggles the selected row and tells the owner, through the group box.
    commands.clear();
    SetFocus(list);
    SendMessageA(list, LB_SETCURSEL, 1, 0);
    PressKey(VK_SPACE);
    EXPECT_TRUE(PumpUntil([] { return std::count(commands.begin(), commands.end(), MAKEWPARAM(6, LBN_SELCHANGE)); }));
    EXPECT_FALSE(IsRowTicked(list, 1));
    DestroyWindow(owner);
    FreeToolkitFonts();
}

}  // namespace
