#include "ui/LinkLabel_win.h"

#include <string>

#include "app/DynCalls_win.h"
#include "app/Handles.h"
#include "ui/Controls_win.h"
#include "ui/TabPages.h"
#include "ui/Window_win.h"

namespace {

constexpr COLORREF kLinkColor = RGB(0, 0, 255);

LinkTargetTable& Targets() {
    static LinkTargetTable targets;
    return targets;
}

HCURSOR LinkCursor() {
    static const HCURSOR cursor = LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1));
    return cursor;
}

LRESULT OnPaint(HWND hwnd) {
    ScopedPaint paint(hwnd);
    const HDC hdc = paint.hdc();
    SetBkMode(hdc, TRANSPARENT);
    SetTextAlign(hdc, 0);
    SetTextColor(hdc, kLinkColor);
    ScopedSelect font(hdc, GuiFont() ? GuiFont() : GetStockObject(DEFAULT_GUI_FONT));
    RECT client = {};
    GetClientRect(hwnd, &client);
    const std::string caption = ControlText(hwnd);
    ExtTextOutA(hdc, 0, 0, 0, &client, caption.c_str(), static_cast<UINT>(caption.size()), nullptr);
    return 0;
}

void OnLeftButtonDown(HWND hwnd) {
    const std::string target = Targets().TargetFor(GetWindowLongPtrA(hwnd, GWLP_USERDATA), ControlText(hwnd));
    // A failed open is not the program's failure: the address is still on screen to copy.
    if (auto execute = DynShell32().ShellExecuteA) execute(hwnd, nullptr, target.c_str(), nullptr, nullptr, 0);
}

LRESULT CALLBACK LinkProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&]() -> LRESULT {
        switch (msg) {
            case WM_PAINT:
                return OnPaint(hwnd);
            case WM_SETCURSOR:
                SetCursor(LinkCursor());
                return 0;
            case WM_NCHITTEST:
                // A static control is transparent to the mouse unless it claims the client area.
                return HTCLIENT;
            case WM_LBUTTONDOWN:
                OnLeftButtonDown(hwnd);
                break;
        }
        return CallBase(SubclassKind::Link, hwnd, msg, wParam, lParam);
    });
}

HWND MakeLink(HWND parent, int id, const char* caption, int x, int y, int width, int height) {
    // The measured pixels are scaled again as layout units: at high DPI the label is wider than its
    // text, which only widens the clickable strip.
    const int measured = TextWidth(caption ? caption : "");
    const HWND label = CreateLabel(parent, id, caption, x, y, measured > 0 ? measured : width, height);
    if (!label) return nullptr;
    LinkCursor();
    Subclass(label, SubclassKind::Link, LinkProc);
    return label;
}

}  // namespace

HWND CreateLinkLabel(HWND parent,
                     int id,
                     const char* caption,
                     int x,
                     int y,
                     int width,
                     int height,
                     const char* target) {
    const HWND label = MakeLink(parent, id, caption, x, y, width, height);
    if (label) SetWindowLongPtrA(label, GWLP_USERDATA, Targets().Add(target ? target : ""));
    return label;
}

HWND CreateUrlLabel(HWND parent, int id, const char* address, int x, int y, int width, int height) {
    return MakeLink(parent, id, address, x, y, width, height);
}
