// The window toolkit with real windows, real input and the real theme layer: relays, the checklist,
// the bitmap surface, and GDI objects counted over long paint loops. The settings window's tests
// change its tabs end to end.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "app/DynCalls_win.h"
#include "tests/wine/WineTest.h"
#include "ui/Bitmap_win.h"
#include "ui/Checklist_win.h"
#include "ui/Controls_win.h"
#include "ui/LinkLabel_win.h"
#include "ui/Tabs_win.h"
#include "ui/Theme_win.h"

namespace {

// The WM_COMMAND codes that reached the test window from its children.
std::vector<WPARAM> commands;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_COMMAND) commands.push_back(wParam);
    if (msg == WM_DRAWITEM) return RelayDrawItem(wParam, lParam);
    return msg == WM_COMMAND ? 0 : DefWindowProcA(hwnd, msg, wParam, lParam);
}

// A visible top-level owner; its children go with it.
class ToolkitWindow {
public:
    ToolkitWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VantoraToolkitOwner";
        RegisterClassA(&wc);
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Toolkit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 560,
                                nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(hwnd_);
        ResetControls();
        LoadGuiFont();
        LoadThemeApi();
        commands.clear();
        PumpUntil([] { return true; });
    }
    ~ToolkitWindow() {
        DestroyWindow(hwnd_);
        FreeToolkitFonts();
    }
    HWND get() const { return hwnd_; }

private:
    HWND hwnd_;
};

// Real clicks on rows of a checklist in a group box (which hands the list its drawing).
TEST(Toolkit, ChecklistTogglesInTheStripOnly) {
    ToolkitWindow owner;
    const HWND list = CreateCheckList(CreateGroupBox(owner.get(), 30, "Savers", 10, 10, 300, 200), 6, 10, 20, 250, 150);
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
}

// Builds a page with a group box, checklist, texts and check boxes, a tab control and a link label,
// then reports how the drawing calls answered and how many GDI objects painting left behind.
std::vector<std::string> DrawingProbe() {
    std::vector<std::string> lines;
    const auto build = [&](bool report) {
        ToolkitWindow owner;
        const HWND tab = CreateTabControl(owner.get(), 27, "Main_TAB", 10, 10, 583, 395, nullptr);
        TmyTabControl tabs(tab);
        const HWND page = tabs.AddPage("Screensavers");
        tabs.ShowSelectedPage();
        const HWND group = CreateGroupBox(page, 30, "Group", 10, 10, 300, 250);
        const HWND label = CreateLabel(group, 31, "text", 10, 200, 100, 20);
        const HWND check = CreateCheckBox(group, 32, "tick", 120, 200, 100, 20);
        const HWND pageCheck = CreateCheckBox(page, 33, "tick", 320, 10, 100, 20);
        CreateTitleLabel(page, 34, "Vantora", 320, 40, 200, 34);
        CreateLinkLabel(page, 35, "Home page", 320, 80, 0, 18, "https://kestrella.example/");
        const HWND list = CreateCheckList(group, 6, 10, 20, 250, 150);
        for (uintptr_t data : {0, 1, 2, 3})
            SetRowTick(list, static_cast<int>(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("saver"))),
                       data);
        SendMessageA(list, LB_SETCURSEL, 1, 0);
        const auto paint = [&] {
            RedrawWindow(owner.get(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        };
        paint();
        if (!report) {
            for (int i = 0; i < 50; ++i)
                paint();
            return;
        }

        // A memory DC of its own: holding a window DC would make painting take more from the system's cache.
        const TBitmap surface(100, 16);
        const HDC hdc = surface.DC();
        lines.push_back("themed " + std::to_string(ThemeActive()));
        std::string drawn = "check box drawn";
        for (bool enabled : {true, false})
            for (int state : {0, 1, 2})
                drawn += " " + std::to_string(DrawCheckBox(list, hdc, {0, 0, 100, 16}, enabled, state));
        lines.push_back(drawn);
        // Which windows paint their children's background, by the answer to WM_CTLCOLORSTATIC.
        std::string answers = "hollow";
        for (const auto& ask : {std::make_pair(group, label), {group, check}, {page, pageCheck}, {tab, group}}) {
            const LRESULT brush = SendMessageA(ask.first, WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                               reinterpret_cast<LPARAM>(ask.second));
            answers += brush == reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH)) ? " 1" : " 0";
        }
        lines.push_back(answers);

        // Classic drawing clips; the caller's clip region, or its absence, is back afterwards.
        const HRGN callerClip = CreateRectRgn(0, 0, 50, 10), seen = CreateRectRgn(0, 0, 0, 0);
        SelectClipRgn(hdc, callerClip);
        DrawCheckBox(list, hdc, {0, 0, 100, 16}, true, 1);
        const bool kept = GetClipRgn(hdc, seen) == 1 && EqualRgn(seen, callerClip);
        SelectClipRgn(hdc, nullptr);
        DrawCheckBox(list, hdc, {0, 0, 100, 16}, true, 1);
        lines.push_back("clip kept " + std::to_string(kept) + ", none kept " +
                        std::to_string(GetClipRgn(hdc, seen) == 0));
        DeleteObject(callerClip);
        DeleteObject(seen);

        constexpr int kPaints = 500, kBoxes = 5000;
        const int before = FreeGdiSlots();
        for (int i = 0; i < kPaints; ++i)
            paint();
        const int afterPaints = FreeGdiSlots();
        for (int i = 0; i < kBoxes; ++i)
            DrawCheckBox(list, hdc, {0, 0, 100, 16}, true, i % 3);
        const int afterBoxes = FreeGdiSlots();
        lines.push_back("gdi kept by paints " + std::to_string(before - afterPaints) + ", by boxes " +
                        std::to_string(afterPaints - afterBoxes));
    };
    build(false);  // the system's first-use objects (theme data, class brushes) are made once
    const int windows = ThreadWindows(), free = FreeGdiSlots();
    build(true);
    lines.push_back("kept after teardown: windows " + std::to_string(ThreadWindows() - windows) + ", gdi " +
                    std::to_string(free - FreeGdiSlots()));
    return lines;
}

TEST(Toolkit, ThemedAndClassicDrawingAnswerAndKeepNothing) {
    EXPECT_EQ(DrawingProbe(), (std::vector<std::string>{"themed 1", "check box drawn 1 1 1 1 1 1", "hollow 1 1 1 0",
                                                        "clip kept 1, none kept 1", "gdi kept by paints 0, by boxes 0",
                                                        "kept after teardown: windows 0, gdi 0"}));
    // One drawing entry missing is enough for the classic look.
    UxthemeCalls& ux = DynUxtheme();
    const auto drawParent = std::exchange(ux.DrawThemeParentBackground, nullptr);
    EXPECT_EQ(DrawingProbe(), (std::vector<std::string>{"themed 0", "check box drawn 1 1 1 1 1 1", "hollow 0 0 0 0",
                                                        "clip kept 1, none kept 1", "gdi kept by paints 0, by boxes 0",
                                                        "kept after teardown: windows 0, gdi 0"}));
    ux.DrawThemeParentBackground = drawParent;
    EXPECT_TRUE(LoadThemeApi());
}

}  // namespace
