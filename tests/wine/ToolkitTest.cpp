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
#include <vector>

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

// Sends `down` and the same input with `upFlags` in place of its flags.
void PressAndRelease(INPUT down, DWORD upFlags) {
    INPUT both[2] = {down, down};
    if (down.type == INPUT_KEYBOARD) both[1].ki.dwFlags = upFlags;
    if (down.type == INPUT_MOUSE) both[1].mi.dwFlags = upFlags;
    SendInput(2, both, sizeof(INPUT));
}

void PressKey(WORD key) {
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = key;
    PressAndRelease(down, KEYEVENTF_KEYUP);
}

void ClickAt(HWND hwnd, int x, int y) {
    POINT p = {x, y};
    ClientToScreen(hwnd, &p);
    SetCursorPos(p.x, p.y);
    PumpUntil([&] {
        POINT now = {};
        GetCursorPos(&now);
        return now.x == p.x && now.y == p.y;
    });
    INPUT down = {};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    PressAndRelease(down, MOUSEEVENTF_LEFTUP);
}

// How many more GDI objects this process may make (Wine refuses new ones near 65,500, and
// GetGuiResources answers 0): a leak shows as fewer free slots.
int FreeGdiSlots() {
    std::vector<HRGN> made;
    while (made.size() < 200000) {
        const HRGN region = CreateRectRgn(0, 0, 1, 1);
        if (!region) break;
        made.push_back(region);
    }
    for (HRGN region : made)
        DeleteObject(region);
    return static_cast<int>(made.size());
}

int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND top, LPARAM counter) -> BOOL {
            ++*reinterpret_cast<int*>(counter);
            EnumChildWindows(
                top, [](HWND, LPARAM c) -> BOOL { return ++*reinterpret_cast<int*>(c), TRUE; }, counter);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count;
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
    SetCursor(nullptr);
    SendMessageA(check, WM_SETCURSOR, reinterpret_cast<WPARAM>(check), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(GetCursor(), busy);
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
    EXPECT_EQ(std::make_tuple(IsWindowVisible(pages[0]) != 0, IsWindowVisible(pages[1]) != 0,
                              IsWindowVisible(pages[2]) != 0, IsWindowVisible(label) != 0),
              std::make_tuple(true, false, false, false));

    RECT expected = {};
    GetWindowRect(tab, &expected);
    MapWindowPoints(nullptr, owner.get(), reinterpret_cast<POINT*>(&expected), 2);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&expected));
    RECT page = {};
    GetWindowRect(pages[0], &page);
    MapWindowPoints(nullptr, owner.get(), reinterpret_cast<POINT*>(&page), 2);
    EXPECT_EQ(std::make_tuple(page.left, page.top, page.right, page.bottom),
              std::make_tuple(expected.left, expected.top, expected.right - 1, expected.bottom - 1));

    SendMessageA(tab, TCM_SETCURSEL, 1, 0);
    tabs.ShowSelectedPage();
    EXPECT_EQ(
        std::make_tuple(IsWindowVisible(pages[0]) != 0, IsWindowVisible(pages[1]) != 0, IsWindowVisible(label) != 0),
        std::make_tuple(false, true, true));

    // A painted page reports its tab control to the owner.
    painted.clear();
    RedrawWindow(pages[1], nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(PumpUntil([&] { return !painted.empty(); }));
    EXPECT_EQ(painted.front(), tab);

    // Six live tab controls at most; a seventh exists but is neither registered nor shown.
    std::vector<HWND> more;
    for (int i = 0; i < 5; ++i)
        more.push_back(CreateTabControl(owner.get(), 50 + i, "", 0, 450, 50, 20, nullptr));
    const int before = ThreadWindows();
    try {
        CreateTabControl(owner.get(), 60, "", 0, 480, 50, 20, nullptr);
        ADD_FAILURE() << "a seventh tab control was registered";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "TheTab_Last= 5");
    }
    EXPECT_EQ(ThreadWindows(), before + 1);
    DestroyWindow(more.back());
    const HWND again = CreateTabControl(owner.get(), 61, "", 0, 480, 50, 20, nullptr);
    EXPECT_TRUE(IsRegisteredTab(again)) << "a destroyed tab control frees its place";
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
    int MidY(int row) const {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return (r.top + r.bottom) / 2;
    }
    int Top(int row) const {
        RECT r = {};
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
        return r.top;
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
        {5, rows.Top(1), 1, {1, 1, 2, 3}},           // the boundary pixel row is the lower row's
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
    const HWND url = CreateUrlLabel(owner.get(), 90, "", 300, 20, 120, 18);
    RECT r = {};
    GetClientRect(url, &r);
    EXPECT_EQ(r.right, 120) << "an empty caption keeps the given width";

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
        EXPECT_EQ(std::make_pair(bitmap.Width(), bitmap.Height()), std::make_pair(152, 112));
        DIBSECTION dib = {};
        ASSERT_EQ(GetObjectA(bitmap.Bitmap(), sizeof dib, &dib), static_cast<int>(sizeof dib));
        EXPECT_EQ(std::make_pair(dib.dsBm.bmBitsPixel, dib.dsBm.bmWidthBytes), std::make_pair(WORD{32}, LONG{152 * 4}));
        const auto* bytes = static_cast<const unsigned char*>(bitmap.Bits());
        EXPECT_EQ(std::count(bytes, bytes + 68096, 0), 68096);
        // Row 0 comes first in memory and is the top row in the DC.
        std::memcpy(bitmap.Bits(), "\xFF\x00\x00\x00", 4);
        GdiFlush();
        EXPECT_EQ(GetPixel(bitmap.DC(), 0, 0), RGB(0, 0, 255));
    }
    const int free = FreeGdiSlots();
    for (const auto& size : {std::make_pair(1 << 16, 1 << 16), std::make_pair(-5, 10)}) {
        try {
            TBitmap impossible(size.first, size.second);
            ADD_FAILURE() << size.first << " x " << size.second << " was made";
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message().rfind("CreateDIBSection failed, Error = ", 0), 0u) << e.Message();
        }
    }
    EXPECT_EQ(FreeGdiSlots(), free) << "a failed surface keeps nothing";
}

}  // namespace
