// The window toolkit with real windows, real input and the real theme layer: factories read back
// through a creation hook, relays and cursors, tabs, the checklist, link labels through the shell,
// the bitmap surface, and GDI objects counted over long paint loops. DPI and the classic look need
// a fresh process (both are read at start), so they run as child tests.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <map>
#include <utility>
#include <vector>

#include "app/DynCalls_win.h"
#include "app/Exception.h"
#include "tests/wine/SettingsSupport.h"
#include "ui/Bitmap_win.h"
#include "ui/Checklist_win.h"
#include "ui/Controls_win.h"
#include "ui/LinkLabel_win.h"
#include "ui/Tabs_win.h"
#include "ui/Theme_win.h"

namespace {

// What each window asked for at creation, as the system saw it before any adjustment.
struct Created {
    DWORD style = 0, exStyle = 0;
    int x = 0, y = 0, cx = 0, cy = 0;
};
std::map<HWND, Created> created;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        created[reinterpret_cast<HWND>(wParam)] = {
            static_cast<DWORD>(cs->style), cs->dwExStyle, cs->x, cs->y, cs->cx, cs->cy};
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Messages that reached the test window from its children.
std::vector<std::pair<UINT, WPARAM>> received;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    switch (msg) {
        case WM_CHAR:
        case WM_COMMAND:
            received.emplace_back(msg, wParam);
            return 0;
        case WM_DRAWITEM:
            return RelayDrawItem(wParam, lParam);
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 10000) {
    for (const DWORD start = GetTickCount();; Sleep(5)) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

bool Received(UINT msg, WPARAM wParam) {
    return PumpUntil([&] {
        for (const auto& m : received)
            if (m.first == msg && m.second == wParam) return true;
        return false;
    });
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    for (INPUT& in : input)
        in.type = INPUT_KEYBOARD, in.ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

void ClickAt(HWND hwnd, int x, int y) {
    POINT p = {x, y}, now = {};
    ClientToScreen(hwnd, &p);
    SetCursorPos(p.x, p.y);
    PumpUntil([&] { return GetCursorPos(&now) && now.x == p.x && now.y == p.y; });
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

// A visible top-level owner with the creation hook on; its children go with it.
class ToolkitWindow {
public:
    ToolkitWindow() {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
        wc.lpszClassName = "VantoraToolkitOwner";
        RegisterClassA(&wc);
        hook_ = SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "Toolkit", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 700, 560,
                                nullptr, nullptr, wc.hInstance, nullptr);
        SetForegroundWindow(hwnd_);
        ResetControls();
        LoadGuiFont();
        LoadThemeApi();
        received.clear();
        PumpUntil([] { return true; });
    }
    ~ToolkitWindow() {
        DestroyWindow(hwnd_);
        UnhookWindowsHookEx(hook_);
        FreeToolkitFonts();
    }
    HWND get() const { return hwnd_; }

private:
    HHOOK hook_;
    HWND hwnd_;
};

// "1" or "0" per window, visible or not.
std::string Shown(std::initializer_list<HWND> windows) {
    std::string shown;
    for (HWND w : windows)
        shown += IsWindowVisible(w) ? '1' : '0';
    return shown;
}

RECT RectIn(HWND window, HWND parent) {
    RECT r = {};
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::string ClassOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return name;
}

TEST(Toolkit, FactoriesMakeWhatTheirTablesSay) {
    ToolkitWindow owner;
    const HWND w = owner.get();
    const struct {
        HWND control;
        const char* className;
        DWORD style, exStyle;
        const char* text;
        bool guiFont;
    } cases[] = {
        {CreateEditBox(w, 3, "abc", 10, 10, 80, 20), "Edit", 0x44010080, WS_EX_CLIENTEDGE, "abc", true},
        {CreateLabel(w, 4, "label", 10, 40, 80, 20), "Static", 0x40000080, 0, "label", true},
        {CreateTitleLabel(w, 5, "Title", 10, 70, 200, 34), "Static", 0x44000080, 0, "Title", false},
        {CreateButton(w, 16, "OK", 10, 110, 75, 23), "Button", 0x44010000, 0, "OK", true},
        {CreateCheckBox(w, 12, "tick", 10, 140, 90, 20), "Button", 0x44010003, 0, "tick", true},
        {CreateGroupBox(w, 30, nullptr, 120, 10, 200, 100), "Button", 0x44000007, WS_EX_CONTROLPARENT, "", true},
        {CreateCheckList(w, 6, 120, 120, 200, 80), "ListBox", 0x44210051, WS_EX_CLIENTEDGE, "Checklist_PR", true},
        {CreateComboBox(w, 9, "combo", 120, 210, 100, 80), "ComboBox", 0x44210203, 0, "", true},
        {CreateTabControl(w, 27, "Main_TAB", 340, 10, 300, 200, nullptr), "SysTabControl32", 0x44010040, 0, "Main_TAB",
         true},
        {CreatePage(w, 0, 340, 220, 100, 50), "Tallowen TPage", WS_CHILD, WS_EX_CONTROLPARENT, "Page", false},
        {CreateImage(w, 40, 460, 220, 152, 112, DefWindowProcA), "", 0x44000000, 0, "Image1 PR", false},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(c.control);
        const std::string className = ClassOf(c.control);
        SCOPED_TRACE(className);
        if (*c.className) {
            EXPECT_EQ(lstrcmpiA(className.c_str(), c.className), 0);
        }
        EXPECT_EQ(created[c.control].style, c.style);
        EXPECT_EQ(created[c.control].exStyle, c.exStyle);
        EXPECT_EQ(ControlText(c.control), c.text);
        EXPECT_TRUE(IsWindowVisible(c.control));
        const HFONT font = reinterpret_cast<HFONT>(SendMessageA(c.control, WM_GETFONT, 0, 0));
        if (c.guiFont) {
            EXPECT_EQ(font, GetStockObject(DEFAULT_GUI_FONT));
        }
    }
    LOGFONTA title = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(cases[2].control, WM_GETFONT, 0, 0)), sizeof title, &title);
    EXPECT_EQ(std::make_tuple(std::string(title.lfFaceName), title.lfHeight, title.lfWeight),
              std::make_tuple(std::string("Courier New"), 30L, 600L));

    // Images: a class each, numbered on; the size is the picture's less one pixel at any DPI.
    const HWND second = CreateImage(w, 41, 460, 340, 152, 112, DefWindowProcA);
    const std::string firstClass = ClassOf(cases[10].control);
    ASSERT_EQ(firstClass.rfind("Timage1_PR", 0), 0u);
    EXPECT_EQ(ClassOf(second), "Timage1_PR" + std::to_string(std::stoi(firstClass.substr(10)) + 1));
    EXPECT_EQ(std::make_pair(created[second].cx, created[second].cy), std::make_pair(151, 111));

    // The focus registry: registered kinds by id, the rest not; unknown ids give nothing.
    EXPECT_EQ(RegisteredControl(6), cases[6].control);
    EXPECT_EQ(RegisteredControl(4), nullptr);
    EXPECT_EQ(RegisteredControl(199), nullptr);
    FocusControl(16);
    EXPECT_EQ(GetFocus(), cases[3].control);

    // Up-down positions stop at the range ends instead of wrapping at 16 bits.
    const HWND buddy = CreateEditBox(w, 10, "", 10, 200, 50, 21);
    const HWND upDown = CreateUpDown(w, 9, 60, 260, 52, 21, buddy, 0, 9999, 1);
    EXPECT_EQ(created[upDown].style, 0x50800086u);
    // 65543 would wrap to 7 in 16 bits, inside the range.
    for (const auto& position : {std::make_pair(int64_t{65536 + 7}, 9999), std::make_pair(int64_t{-3}, 0)}) {
        SetUpDownPos(upDown, position.first);
        EXPECT_EQ(UpDownPos(upDown), position.second);
        EXPECT_EQ(ControlText(buddy), std::to_string(position.second));
    }

    // Tooltips follow the control; without the tooltip window there is nothing to add to.
    ASSERT_TRUE(CreateToolTips());
    EXPECT_TRUE(AddToolTip(cases[3].control, "Save changes and exit"));
    EXPECT_TRUE(AddToolTip(nullptr, nullptr));
}

TEST(Toolkit, EscapeReachesTheParentAndTheBusyCursorShows) {
    ToolkitWindow owner;
    const HWND edit = CreateEditBox(owner.get(), 3, "", 10, 10, 100, 20);
    const HWND button = CreateButton(owner.get(), 16, "OK", 10, 40, 75, 23);
    const HWND check = CreateCheckBox(owner.get(), 12, "tick", 10, 70, 90, 20);
    for (HWND control : {edit, button, check}) {
        SCOPED_TRACE(ClassOf(control));
        received.clear();
        SetFocus(control);
        PressKey(VK_ESCAPE);
        EXPECT_TRUE(Received(WM_CHAR, VK_ESCAPE));
    }

    const HCURSOR busy = LoadCursorA(nullptr, IDC_APPSTARTING);
    SetOverrideCursor(busy);
    POINT p = {5, 5};
    ClientToScreen(button, &p);
    SetCursorPos(p.x, p.y);
    EXPECT_TRUE(PumpUntil([&] { return GetCursor() == busy; })) << "hovering a button";
    SetOverrideCursor(nullptr);
    SendMessageA(check, WM_SETCURSOR, reinterpret_cast<WPARAM>(check), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_NE(GetCursor(), busy);
}

TEST(Toolkit, TabsShowOnlyTheSelectedPageAndTellTheOwner) {
    ToolkitWindow owner;
    std::vector<HWND> painted;
    const HWND tab =
        CreateTabControl(owner.get(), 27, "Main_TAB", 10, 10, 583, 395, [&](HWND t) { painted.push_back(t); });
    TmyTabControl tabs(tab);
    EXPECT_EQ(tabs.CurrentPage(), -1);
    std::vector<HWND> pages;
    for (const char* caption : {"Screensavers", "Options", "About"})
        pages.push_back(tabs.AddPage(caption));
    const HWND label = CreateLabel(pages[1], 4, "on page 1", 10, 10, 100, 20);
    tabs.AddPageWindow(1, label);
    tabs.AddPageWindow(3, label);  // no such page: ignored
    tabs.ShowSelectedPage();
    EXPECT_EQ(tabs.CurrentPage(), 0);
    EXPECT_EQ(Shown({pages[0], pages[1], pages[2], label}), "1000");
    RECT area = RectIn(tab, owner.get()), page = RectIn(pages[0], owner.get());
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    EXPECT_EQ(std::make_tuple(page.left, page.top, page.right, page.bottom),
              std::make_tuple(area.left, area.top, area.right - 1, area.bottom - 1));
    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    tabs.ShowSelectedPage();
    EXPECT_EQ(Shown({pages[0], pages[1], pages[2], label}), "0101");

    // A painted page reports its tab control to the owner.
    painted.clear();
    RedrawWindow(pages[1], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(PumpUntil([&] { return !painted.empty(); }));
    EXPECT_EQ(painted.front(), tab);

    // Six live tab controls at most; a destroyed one frees its place.
    HWND sixth = nullptr;
    for (int i = 0; i < 5; ++i)
        sixth = CreateTabControl(owner.get(), 50 + i, "", 0, 450, 50, 20, nullptr);
    EXPECT_THROW(CreateTabControl(owner.get(), 60, "", 0, 480, 50, 20, nullptr), Exception);
    DestroyWindow(sixth);
    const HWND again = CreateTabControl(owner.get(), 61, "", 0, 480, 50, 20, nullptr);
    EXPECT_TRUE(IsRegisteredTab(again));
}

// Rows of a checklist in a group box (which hands the list its drawing), ready for clicks.
struct ChecklistFixture {
    explicit ChecklistFixture(HWND owner) {
        const HWND group = CreateGroupBox(owner, 30, "Screensavers", 10, 10, 300, 200);
        list = CreateCheckList(group, 6, 10, 20, 250, 150);
        for (uintptr_t data : {0, 0, 2, 3}) {
            const int row = static_cast<int>(SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>("saver")));
            SetRowTick(list, row, data);
        }
        UpdateWindow(list);
    }
    int MidY(int row) const { return (Row(row).top + Row(row).bottom) / 2; }
    RECT Row(int row) const {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r;
    }
    // Clicks and waits until the list box has taken the click as a selection of `row`.
    bool Click(int x, int y, int row) const {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        ClickAt(list, x, y);
        return PumpUntil(
            [&] { return SendMessageA(list, LB_GETCURSEL, 0, 0) == row && !(GetKeyState(VK_LBUTTON) & 0x8000); });
    }
    HWND list = nullptr;
};

TEST(Toolkit, ChecklistTogglesInTheStripOnly) {
    ToolkitWindow owner;
    ChecklistFixture rows(owner.get());
    const int strip = CheckBoxSize() + 1;
    ASSERT_EQ(strip, 14) << "96 dpi";
    // Clicks alternate rows: two quick clicks at one spot would be a double click.
    const struct {
        int x, y, row;
        std::vector<uintptr_t> ticks;
    } clicks[] = {
        {strip, rows.MidY(0), 0, {1, 0, 2, 3}},      // in the strip: toggles
        {5, rows.Row(1).top, 1, {1, 1, 2, 3}},       // the boundary pixel row is the lower row's
        {strip + 1, rows.MidY(0), 0, {1, 1, 2, 3}},  // right of the strip: selects only
        {5, rows.MidY(2), 2, {1, 1, 2, 3}},          // mixed: locked
        {5, rows.MidY(3), 3, {1, 1, 2, 3}},          // 3: locked
        {5, rows.MidY(0), 0, {0, 1, 2, 3}},
    };
    for (const auto& c : clicks) {
        SCOPED_TRACE(testing::Message() << "click " << c.x << "," << c.y);
        ASSERT_TRUE(rows.Click(c.x, c.y, c.row));
        EXPECT_EQ(RowTicks(rows.list), c.ticks);
    }

    // Space toggles the selected row and tells the owner, through the group box.
    received.clear();
    SetFocus(rows.list);
    SendMessageA(rows.list, LB_SETCURSEL, 1, 0);
    PressKey(VK_SPACE);
    EXPECT_TRUE(Received(WM_COMMAND, MAKEWPARAM(6, LBN_SELCHANGE)));
    EXPECT_FALSE(IsRowTicked(rows.list, 1));

    const std::string longText(65535, 'd');
    SendMessageA(rows.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(longText.c_str()));
    EXPECT_EQ(RowText(rows.list, 4), longText);
    EXPECT_EQ(RowText(rows.list, 9), "");
    EXPECT_EQ(RowTicks(rows.list).size(), 5u);
}

TEST(Toolkit, LinkLabelsOpenTheirTargetsThroughTheShell) {
    UrlLog urls;
    ToolkitWindow owner;
    std::vector<HWND> labels;
    for (int i = 1; i <= 13; ++i) {
        const std::string caption = "https://caption.example/" + std::to_string(i);
        const std::string target = "https://target.example/" + std::to_string(i);
        labels.push_back(CreateLinkLabel(owner.get(), 70 + i, caption.c_str(), 10, 20 * i, 0, 18, target.c_str()));
        EXPECT_EQ(GetWindowLongPtrA(labels.back(), GWLP_USERDATA), i <= 12 ? i : 0) << i;
    }
    const RECT url = RectIn(CreateUrlLabel(owner.get(), 90, "", 300, 20, 120, 18), owner.get());
    EXPECT_EQ(url.right - url.left, 120) << "an empty caption keeps the given width";

    EXPECT_EQ(SendMessageA(labels[0], WM_NCHITTEST, 0, 0), HTCLIENT);
    SendMessageA(labels[0], WM_SETCURSOR, reinterpret_cast<WPARAM>(labels[0]), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1)));

    // Real clicks: a static control that did not claim the hit test would never see them.
    ClickAt(labels[0], 3, 3);
    ASSERT_TRUE(PumpUntil([&] { return urls.Lines().size() == 1; }));
    ClickAt(labels[12], 3, 3);
    ASSERT_TRUE(PumpUntil([&] { return urls.Lines().size() == 2; }));
    EXPECT_EQ(urls.Lines(), (std::vector<std::string>{"https://target.example/1", "https://caption.example/13"}));
}

TEST(Toolkit, BitmapIsZeroedTopDownAndFailsCleanly) {
    {
        TBitmap bitmap(152, 112);
        BITMAP header = {};
        GetObjectA(bitmap.Bitmap(), sizeof header, &header);
        EXPECT_EQ(std::make_tuple(bitmap.Width(), bitmap.Height(), header.bmBitsPixel),
                  std::make_tuple(152, 112, WORD{32}));
        const auto* bytes = static_cast<const unsigned char*>(bitmap.Bits());
        EXPECT_EQ(std::count(bytes, bytes + 68096, 0), 68096);
        // Row 0 comes first in memory and is the top row in the DC.
        std::memcpy(bitmap.Bits(), "\xFF\x00\x00\x00", 4);
        GdiFlush();
        EXPECT_EQ(GetPixel(bitmap.DC(), 0, 0), RGB(0, 0, 255));
    }
    const int free = FreeGdiSlots();
    try {
        TBitmap impossible(1 << 16, 1 << 16);
        ADD_FAILURE() << "a 16 GB surface was made";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message().rfind("CreateDIBSection failed, Error = ", 0), 0u) << e.Message();
    }
    EXPECT_EQ(FreeGdiSlots(), free) << "a failed surface keeps nothing";
}

// A value of HKCU\<key> set for the next process, and put back as it was when the scope ends.
class ScopedUserValue {
public:
    ScopedUserValue(const char* key, const char* name, DWORD type, const void* data, DWORD size)
        : key_(key), name_(name) {
        had_ = !RegGetValueA(HKEY_CURRENT_USER, key, name, RRF_RT_ANY, &oldType_, old_, &oldSize_);
        RegSetKeyValueA(HKEY_CURRENT_USER, key, name, type, data, size);
    }
    ~ScopedUserValue() {
        if (!had_ || RegSetKeyValueA(HKEY_CURRENT_USER, key_, name_, oldType_, old_, oldSize_))
            RegDeleteKeyValueA(HKEY_CURRENT_USER, key_, name_);
    }

private:
    const char *key_, *name_;
    bool had_;
    DWORD oldType_ = 0, oldSize_ = 256;
    BYTE old_[256] = {};
};

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

TEST(ToolkitChild, DISABLED_DrawingProbe) {
    for (const std::string& line : DrawingProbe())
        ChildReport(line);
}

TEST(Toolkit, ThemedAndClassicDrawingAnswerAndKeepNothing) {
    const std::vector<std::string> themed = DrawingProbe();
    EXPECT_EQ(themed, (std::vector<std::string>{"themed 1", "check box drawn 1 1 1 1 1 1", "hollow 1 1 1 0",
                                                "clip kept 1, none kept 1", "gdi kept by paints 0, by boxes 0",
                                                "kept after teardown: windows 0, gdi 0"}));
    // One drawing entry missing is enough for the classic look.
    UxthemeCalls& ux = DynUxtheme();
    const auto drawParent = std::exchange(ux.DrawThemeParentBackground, nullptr);
    EXPECT_FALSE(LoadThemeApi());
    ux.DrawThemeParentBackground = drawParent;
    EXPECT_TRUE(LoadThemeApi());

    const char kThemeKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    ScopedUserValue off(kThemeKey, "ThemeActive", REG_SZ, "0", 2);
    EXPECT_EQ(RunChildTest("ToolkitChild.DISABLED_DrawingProbe"),
              (std::vector<std::string>{"themed 0", "check box drawn 1 1 1 1 1 1", "hollow 0 0 0 0",
                                        "clip kept 1, none kept 1", "gdi kept by paints 0, by boxes 0",
                                        "kept after teardown: windows 0, gdi 0"}));
}

TEST(ToolkitChild, DISABLED_ScaledLayout) {
    ToolkitWindow owner;
    ChildReport("dpi " + std::to_string(ScreenDpi()));
    const HWND button = CreateButton(owner.get(), 16, "OK", 10, 10, 75, 23);
    const Created& b = created[button];
    ChildReport("button " + std::to_string(b.x) + " " + std::to_string(b.y) + " " + std::to_string(b.cx) + " " +
                std::to_string(b.cy));
    const HWND first = CreateImage(owner.get(), 40, 330, 10, 152, 112, DefWindowProcA);
    const HWND second = CreateImage(owner.get(), 41, 330, 200, 152, 112, DefWindowProcA);
    ChildReport("images " + ClassOf(first) + " " + ClassOf(second) + " " + std::to_string(created[second].x) + " " +
                std::to_string(created[second].cx) + "x" + std::to_string(created[second].cy));
    ChecklistFixture rows(owner.get());
    const int strip = CheckBoxSize() + 1;
    std::string ticks = "strip " + std::to_string(strip) + " clicks";
    ticks += " " + std::to_string(rows.Click(strip, rows.MidY(0), 0));
    ticks += " " + std::to_string(rows.Click(5, rows.MidY(1), 1));
    ticks += " " + std::to_string(rows.Click(strip + 1, rows.MidY(0), 0)) + " ticks";
    for (uintptr_t tick : RowTicks(rows.list))
        ticks += " " + std::to_string(tick);
    ChildReport(ticks);
}

TEST(Toolkit, LayoutFollowsTheScreenDpi) {
    const DWORD dpi = 120;
    ScopedUserValue logPixels("Control Panel\\Desktop", "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    // 10 -> 12.5 -> 12, 75 -> 93.75 -> 94, 23 -> 28.75 -> 29, 330 -> 412.5 -> 412, 13 -> 16.25 -> 16.
    EXPECT_EQ(RunChildTest("ToolkitChild.DISABLED_ScaledLayout"),
              (std::vector<std::string>{"dpi 120", "button 12 12 94 29", "images Timage1_PR1 Timage1_PR2 412 151x111",
                                        "strip 17 clicks 1 1 1 ticks 1 1 2 3"}));
}

}  // namespace
