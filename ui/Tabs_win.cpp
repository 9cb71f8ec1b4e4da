#include "ui/Tabs_win.h"

#include <commctrl.h>

#include <memory>

#include "ui/Controls_win.h"
#include "ui/Theme_win.h"
#include "ui/Window_win.h"

namespace {

const char kPageClass[] = "Tallowen TPage";

TabRegistry& Tabs() {
    static TabRegistry tabs;
    return tabs;
}

WindowRef Ref(HWND hwnd) { return reinterpret_cast<WindowRef>(hwnd); }
HWND Hwnd(WindowRef ref) { return reinterpret_cast<HWND>(ref); }

// What tab controls and pages share: the busy cursor, owner drawing by id and the relays.
bool AnswerShared(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
        case WM_SETCURSOR:
            result = 0;
            return ApplyOverrideCursor();
        case WM_DRAWITEM:
            result = RelayDrawItem(wParam, lParam);
            return true;
        case WM_HSCROLL:
            result = SendMessageA(GetParent(hwnd), msg, wParam, lParam);
            return true;
        case WM_VSCROLL:
            result = 0;
            return true;
        case WM_NOTIFY:
        case WM_COMMAND:
            SendMessageA(GetParent(hwnd), msg, wParam, lParam);
            return false;
        case WM_CTLCOLORSTATIC:
            return ThemeActive() &&
                   AnswerCtlColor(IsPageWindow(hwnd) ? CtlColorForm::Page : CtlColorForm::Tab,
                                  reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), result);
    }
    return false;
}

LRESULT CALLBACK TabProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&] {
        LRESULT result = 0;
        if (AnswerShared(hwnd, msg, wParam, lParam, result)) return result;
        result = CallBase(SubclassKind::Tab, hwnd, msg, wParam, lParam);
        if (msg == WM_PAINT) TabPainted(hwnd);
        if (msg == WM_NCDESTROY) Tabs().Remove(Ref(hwnd));
        return result;
    });
}

// A page keeps no state beyond its window; the object exists for the guarded procedure.
class PageWindow : public BaseWindow<PageWindow> {
public:
    LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
        LRESULT result = 0;
        if (AnswerShared(hwnd_, msg, wParam, lParam, result)) return result;
        switch (msg) {
            case WM_ERASEBKGND:
                return OnEraseBackground(wParam, lParam);
            case WM_PAINT:
                return OnPaint(wParam, lParam);
        }
        return DefWindowProcA(hwnd_, msg, wParam, lParam);
    }
    void OnFinalMessage() { delete this; }

private:
    // Unthemed, the tab control's own body shows through the page.
    LRESULT OnEraseBackground(WPARAM wParam, LPARAM lParam) {
        return ThemeActive() ? DefWindowProcA(hwnd_, WM_ERASEBKGND, wParam, lParam) : 1;
    }
    LRESULT OnPaint(WPARAM wParam, LPARAM lParam) {
        const LRESULT result = DefWindowProcA(hwnd_, WM_PAINT, wParam, lParam);
        TabPainted(GetParent(hwnd_));
        return result;
    }
};

}  // namespace

HWND CreateTabControl(HWND parent,
                      int id,
                      const char* text,
                      int x,
                      int y,
                      int width,
                      int height,
                      TabPaintCallback paintCallback) {
    InitCommonControlClasses(ICC_TAB_CLASSES);
    const HWND tab = CreateControlWindow(ControlKind::Tab, parent, id, text, ScaledRect(x, y, width, height));
    if (!tab) return nullptr;
    Tabs().Add(Ref(tab), [callback = std::move(paintCallback)](WindowRef t) {
        if (callback) callback(Hwnd(t));
    });
    FinishControl(tab, ControlKind::Tab, id);
    Subclass(tab, SubclassKind::Tab, TabProc);
    return tab;
}

bool IsRegisteredTab(HWND hwnd) { return hwnd && Tabs().Contains(Ref(hwnd)); }

void TabPainted(HWND hwnd) {
    Tabs().Painted(
        Ref(hwnd), [](WindowRef w) { return Ref(GetParent(Hwnd(w))); },
        [](WindowRef w) { return ControlText(Hwnd(w)); });
}

HWND CreatePage(HWND parent, int id, int x, int y, int width, int height) {
    // Registering again fails harmlessly once the class exists.
    WNDCLASSA wc = {};
    wc.style = CS_VREDRAW | CS_HREDRAW;
    wc.lpfnWndProc = PageWindow::WindowProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNHIGHLIGHT + 1);
    wc.lpszClassName = kPageClass;
    RegisterClassA(&wc);

    auto page = std::make_unique<PageWindow>();
    const HWND hwnd = CreateControlWindow(ControlKind::Page, parent, id, nullptr, {x, y, x + width - 1, y + height - 1},
                                          nullptr, page.get());
    if (!hwnd) return nullptr;
    page.release();  // the window deletes it at WM_NCDESTROY
    FinishControl(hwnd, ControlKind::Page, id);
    return hwnd;
}

bool IsPageWindow(HWND hwnd) {
    char name[sizeof kPageClass + 1] = {};
    return hwnd && GetClassNameA(hwnd, name, sizeof name) > 0 && lstrcmpA(name, kPageClass) == 0;
}

HWND TmyTabControl::AddPage(const std::string& caption) {
    const int page = pages_.AddPage();
    TCITEMA item = {};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption.c_str());
    item.cchTextMax = static_cast<int>(caption.size());
    SendMessageA(tabWindow_, TCM_INSERTITEMA, static_cast<WPARAM>(page), reinterpret_cast<LPARAM>(&item));

    // The display area of the tab control where it lies, in its parent's coordinates.
    const HWND parent = GetParent(tabWindow_);
    RECT area = {};
    GetWindowRect(tabWindow_, &area);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&area), 2);
    SendMessageA(tabWindow_, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    const HWND window = CreatePage(parent, 0, area.left, area.top, area.right - area.left, area.bottom - area.top);
    AddPageWindow(page, window);
    return window;
}

void TmyTabControl::AddPageWindow(int page, HWND window) {
    if (pages_.AddWindow(page, Ref(window))) ShowWindow(window, SW_HIDE);
}

void TmyTabControl::SelectPage(int page) {
    const PageSet::Change change = pages_.Select(page);
    for (WindowRef window : change.hide)
        ShowWindow(Hwnd(window), SW_HIDE);
    for (WindowRef window : change.show)
        ShowWindow(Hwnd(window), SW_SHOW);
}

void TmyTabControl::ShowSelectedPage() {
    InvalidateRgn(tabWindow_, nullptr, FALSE);
    SelectPage(static_cast<int>(SendMessageA(tabWindow_, TCM_GETCURSEL, 0, 0)));
}
