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
    if (GetFocus() == hwnd) DrawFocusRect(hdc, &client);
    return 0;
}

// The label draws its text without a background of its own: its parent paints the spot afresh, so
// a focus rectangle comes and goes without leaving a trace.
void RedrawInParent(HWND hwnd) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    const HWND parent = GetParent(hwnd);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(parent, &r, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Open(HWND hwnd) {
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
                Open(hwnd);
                break;
            case WM_GETDLGCODE: {
                // Enter would otherwise go to the dialog's default button.
                const MSG* key = reinterpret_cast<const MSG*>(lParam);
                const bool enter = key && key->message == WM_KEYDOWN && key->wParam == VK_RETURN;
                return CallBase(SubclassKind::Link, hwnd, msg, wParam, lParam) | (enter ? DLGC_WANTMESSAGE : 0);
            }
            case WM_KEYDOWN:
                if (wParam == VK_RETURN || wParam == VK_SPACE) Open(hwnd);
                break;
            case WM_SETFOCUS:
            case WM_KILLFOCUS:
                RedrawInParent(hwnd);
                break;
        }
        return CallBase(SubclassKind::Link, hwnd, msg, wParam, lParam);
    });
}

HWND MakeLink(HWND parent, int id, const char* caption, int x, int y, int width, int height) {
    // The text is measured in pixels of this screen already: only the layout numbers are scaled.
    RECT place = ScaledRect(x, y, width, height);
    const int measured = TextWidth(caption ? caption : "");
    if (measured > 0) place.right = place.left + measured;
    const HWND label = MakeControl(ControlKind::Label, parent, id, caption, place);
    if (!label) return nullptr;
    // A tab stop, so the keyboard reaches it like any button.
    SetWindowLongPtrA(label, GWL_STYLE, GetWindowLongPtrA(label, GWL_STYLE) | WS_TABSTOP);
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
