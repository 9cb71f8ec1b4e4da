#include "ui/Controls_win.h"

#include <commctrl.h>

#include <array>
#include <cstddef>
#include <unordered_map>
#include <vector>

#include "app/DynCalls_win.h"
#include "app/Handles.h"
#include "ui/Dpi.h"
#include "ui/Theme_win.h"
#include "ui/Window_win.h"

// The first version of the tool structure, which every comctl32 accepts: it ends with the text
// pointer and holds handles, so it is 40 bytes on x86 and 56 on x64.
constexpr UINT kToolInfoSize = offsetof(TTTOOLINFOA, lpszText) + sizeof(LPSTR);
static_assert(kToolInfoSize == (sizeof(void*) == 8 ? 56 : 40), "TOOLINFOA sized for this architecture");

namespace {

struct Toolkit {
    HFONT guiFont = nullptr;
    HCURSOR overrideCursor = nullptr;
    std::unordered_map<int, HWND> controls;
    HWND focused = nullptr;
    HWND toolTips = nullptr;
    // Every title label keeps its font until the window is gone, so none is replaced while in use.
    std::vector<UniqueHFont> titleFonts;
    int imageSerial = 0;
    std::array<WNDPROC, static_cast<size_t>(SubclassKind::Count)> baseProcedures = {};
};

Toolkit& State() {
    static Toolkit toolkit;
    return toolkit;
}

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

LRESULT CALLBACK EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&] {
        // Dialog keys are the parent's to act on; the edit still sees the key afterwards.
        if (msg == WM_CHAR && wParam == VK_ESCAPE) SendMessageA(GetParent(hwnd), WM_CHAR, wParam, lParam);
        return CallBase(SubclassKind::Edit, hwnd, msg, wParam, lParam);
    });
}

LRESULT OnButtonSetCursor(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (ApplyOverrideCursor()) return 0;
    return CallBase(SubclassKind::Button, hwnd, WM_SETCURSOR, wParam, lParam);
}

LRESULT CALLBACK ButtonProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&]() -> LRESULT {
        switch (msg) {
            case WM_SETCURSOR:
                return OnButtonSetCursor(hwnd, wParam, lParam);
            case WM_SETFOCUS:
                State().focused = hwnd;
                break;
            case WM_KEYDOWN:
                if (wParam == VK_ESCAPE) SendMessageA(GetParent(hwnd), WM_CHAR, VK_ESCAPE, lParam);
                break;
            case WM_ERASEBKGND:
                // Themed buttons draw their whole face; erasing would flash the class brush.
                if (ThemeActive()) return 1;
                break;
        }
        return CallBase(SubclassKind::Button, hwnd, msg, wParam, lParam);
    });
}

LRESULT CALLBACK ComboProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&] { return CallBase(SubclassKind::Combo, hwnd, msg, wParam, lParam); });
}

LRESULT OnGroupEraseBackground(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    if (!ThemeActive()) return CallBase(SubclassKind::Group, hwnd, WM_ERASEBKGND, wParam, lParam);
    DrawParentBackground(hwnd, reinterpret_cast<HDC>(wParam));
    return 1;
}

LRESULT OnGroupCtlColor(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT brush = 0;
    if (ThemeActive() &&
        AnswerCtlColor(CtlColorForm::GroupBox, reinterpret_cast<HWND>(lParam), reinterpret_cast<HDC>(wParam), brush))
        return brush;
    return CallBase(SubclassKind::Group, hwnd, msg, wParam, lParam);
}

// Group boxes are the parents of most controls, so they pass their children's messages upward.
LRESULT CALLBACK GroupProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&]() -> LRESULT {
        switch (msg) {
            case WM_ERASEBKGND:
                return OnGroupEraseBackground(hwnd, wParam, lParam);
            case WM_DRAWITEM:
                return RelayDrawItem(wParam, lParam);
            case WM_NOTIFY:
            case WM_COMMAND:
                SendMessageA(GetParent(hwnd), msg, wParam, lParam);
                break;
            case WM_HSCROLL:
                return SendMessageA(GetParent(hwnd), msg, wParam, lParam);
            case WM_CTLCOLOREDIT:
            case WM_CTLCOLORSTATIC:
                return OnGroupCtlColor(hwnd, msg, wParam, lParam);
        }
        return CallBase(SubclassKind::Group, hwnd, msg, wParam, lParam);
    });
}

HWND MakeSubclassed(ControlKind kind,
                    SubclassKind subclass,
                    WNDPROC procedure,
                    HWND parent,
                    int id,
                    const char* text,
                    int x,
                    int y,
                    int width,
                    int height) {
    const HWND control = MakeControl(kind, parent, id, text, ScaledRect(x, y, width, height));
    if (control) Subclass(control, subclass, procedure);
    return control;
}

}  // namespace

void InitCommonControlClasses(DWORD classes) {
    const INITCOMMONCONTROLSEX init = {sizeof(INITCOMMONCONTROLSEX), classes};
    if (auto initCommonControls = DynComctl32().InitCommonControlsEx) initCommonControls(&init);
}

int ScreenDpi() {
    static const int dpi = [] {
        ScopedGetDc screen(nullptr);
        return screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    }();
    return dpi;
}

int ScaleDpi(int value) { return ScaleDpi(value, ScreenDpi()); }

int UnscaleDpi(int value) { return UnscaleDpi(value, ScreenDpi()); }

void LoadGuiFont() { State().guiFont = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)); }

HFONT GuiFont() { return State().guiFont; }

void FreeToolkitFonts() { State().titleFonts.clear(); }

HPEN ShadowPen() {
    static const UniqueHPen pen(CreatePen(PS_SOLID, 0, GetSysColor(COLOR_BTNSHADOW)));
    return pen.get();
}

void SetOverrideCursor(HCURSOR cursor) { State().overrideCursor = cursor; }

bool ApplyOverrideCursor() {
    if (!State().overrideCursor) return false;
    SetCursor(State().overrideCursor);
    return true;
}

std::string ControlText(HWND hwnd) {
    const int length = GetWindowTextLengthA(hwnd);
    std::string text(static_cast<size_t>(length > 0 ? length : 0) + 1, '\0');
    text.resize(static_cast<size_t>(GetWindowTextA(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

int TextWidth(const std::string& text) {
    UniqueHdc dc(CreateCompatibleDC(nullptr));
    if (!dc) return 0;
    SetTextAlign(dc.get(), 0);
    ScopedSelect font(dc.get(), GuiFont() ? GuiFont() : GetStockObject(DEFAULT_GUI_FONT));
    SIZE size = {};
    if (!GetTextExtentPoint32A(dc.get(), text.c_str(), static_cast<int>(text.size()), &size) || size.cx < 1) return 0;
    return size.cx;
}

void RegisterControl(int id, HWND control) { State().controls[id] = control; }

HWND RegisteredControl(int id) {
    const auto found = State().controls.find(id);
    return found == State().controls.end() ? nullptr : found->second;
}

void FocusControl(int id) {
    const HWND control = RegisteredControl(id);
    if (!control) return;
    State().focused = control;
    SetFocus(control);
}

void RestoreFocus() {
    if (State().focused) SetFocus(State().focused);
}

void ResetControls() {
    State().controls.clear();
    State().focused = nullptr;
}

LRESULT RelayDrawItem(WPARAM wParam, LPARAM lParam) {
    if (const HWND control = RegisteredControl(static_cast<int>(wParam)))
        SendMessageA(control, WM_DRAWITEM, wParam, lParam);
    return 0;
}

HWND CreateToolTips(HWND owner) {
    InitCommonControlClasses(ICC_BAR_CLASSES);
    DestroyToolTips();
    // Owned by the window, so it never outlives it.
    const HWND tips = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                      CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, Instance(), nullptr);
    if (tips) SendMessageA(tips, TTM_ACTIVATE, TRUE, 0);
    State().toolTips = tips;
    return tips;
}

void DestroyToolTips() {
    if (const HWND tips = std::exchange(State().toolTips, nullptr); IsWindow(tips)) DestroyWindow(tips);
}

// A disabled control gets no mouse input: it goes to the first window beneath that does not let
// it through (group boxes do), and the tip is that window's, over the control's rectangle.
static HWND MouseTargetBelow(HWND control) {
    HWND target = GetParent(control);
    while (target && (GetWindowLongPtrA(target, GWL_STYLE) & 0xF) == BS_GROUPBOX && GetParent(target))
        target = GetParent(target);
    return target;
}

bool AddToolTip(HWND control, const char* text) {
    if (!State().toolTips || !control) return false;
    TTTOOLINFOA info = {};
    info.cbSize = kToolInfoSize;
    // The tooltip subclasses the window it watches, so no mouse messages need relaying.
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = GetParent(control);
    info.uId = reinterpret_cast<UINT_PTR>(control);
    info.lpszText = const_cast<char*>(text ? text : "");
    if (!IsWindowEnabled(control)) {
        info.uFlags = TTF_SUBCLASS;
        info.hwnd = MouseTargetBelow(control);
        GetWindowRect(control, &info.rect);
        MapWindowPoints(nullptr, info.hwnd, reinterpret_cast<POINT*>(&info.rect), 2);
    }
    return SendMessageA(State().toolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

RECT ScaledRect(int x, int y, int width, int height) {
    const int left = ScaleDpi(x), top = ScaleDpi(y);
    return {left, top, left + ScaleDpi(width), top + ScaleDpi(height)};
}

HWND CreateControlWindow(ControlKind kind,
                         HWND parent,
                         int id,
                         const char* text,
                         const RECT& pixels,
                         const char* className,
                         void* createParam) {
    const ControlSpec& traits = SpecOf(kind);
    return CreateWindowExA(traits.exStyle, className ? className : traits.className,
                           traits.fixedText ? traits.fixedText : text, traits.style, pixels.left, pixels.top,
                           pixels.right - pixels.left, pixels.bottom - pixels.top, parent,
                           reinterpret_cast<HMENU>(static_cast<intptr_t>(id)), Instance(), createParam);
}

void FinishControl(HWND control, ControlKind kind, int id, HFONT font) {
    const ControlSpec& traits = SpecOf(kind);
    if (traits.guiFont) font = GuiFont();
    if (font) SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ShowWindow(control, SW_SHOW);
    UpdateWindow(control);
    if (traits.registered) RegisterControl(id, control);
}

HWND MakeControl(ControlKind kind,
                 HWND parent,
                 int id,
                 const char* text,
                 const RECT& pixels,
                 const char* className,
                 HFONT font) {
    const HWND control = CreateControlWindow(kind, parent, id, text, pixels, className);
    if (control) FinishControl(control, kind, id, font);
    return control;
}

void Subclass(HWND control, SubclassKind kind, WNDPROC procedure) {
    const WNDPROC previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
    if (previous && previous != procedure) State().baseProcedures[static_cast<size_t>(kind)] = previous;
}

LRESULT CallBase(SubclassKind kind, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const WNDPROC base = State().baseProcedures[static_cast<size_t>(kind)];
    return base ? CallWindowProcA(base, hwnd, msg, wParam, lParam) : DefWindowProcA(hwnd, msg, wParam, lParam);
}

HWND CreateEditBox(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeSubclassed(ControlKind::Edit, SubclassKind::Edit, EditProc, parent, id, text, x, y, width, height);
}

HWND CreateLabel(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeControl(ControlKind::Label, parent, id, text, ScaledRect(x, y, width, height));
}

HWND CreateTitleLabel(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    LOGFONTA logFont = {};
    logFont.lfHeight = 30;
    logFont.lfWeight = 600;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfQuality = PROOF_QUALITY;
    lstrcpynA(logFont.lfFaceName, "Courier New", LF_FACESIZE);
    UniqueHFont font(CreateFontIndirectA(&logFont));
    const HWND label =
        MakeControl(ControlKind::TitleLabel, parent, id, text, ScaledRect(x, y, width, height), nullptr, font.get());
    if (label) State().titleFonts.push_back(std::move(font));
    return label;
}

HWND CreateButton(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeSubclassed(ControlKind::Button, SubclassKind::Button, ButtonProc, parent, id, text, x, y, width, height);
}

HWND CreateCheckBox(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeSubclassed(ControlKind::CheckBox, SubclassKind::Button, ButtonProc, parent, id, text, x, y, width,
                          height);
}

HWND CreateGroupBox(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeSubclassed(ControlKind::GroupBox, SubclassKind::Group, GroupProc, parent, id, text ? text : "", x, y,
                          width, height);
}

HWND CreateComboBox(HWND parent, int id, const char* text, int x, int y, int width, int height) {
    return MakeSubclassed(ControlKind::ComboBox, SubclassKind::Combo, ComboProc, parent, id, text, x, y, width, height);
}

HWND CreateImage(HWND parent, int id, int x, int y, int width, int height, WNDPROC windowProc) {
    const std::string className = ImageClassName(++State().imageSerial);
    WNDCLASSA wc = {};
    wc.style = CS_SAVEBITS;
    wc.lpfnWndProc = windowProc;
    wc.hInstance = Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    wc.lpszClassName = className.c_str();
    RegisterClassA(&wc);
    // The size is the picture's in pixels, so only the position follows the DPI.
    const int left = ScaleDpi(x), top = ScaleDpi(y);
    return MakeControl(ControlKind::Image, parent, id, nullptr, {left, top, left + width - 1, top + height - 1},
                       className.c_str());
}

HWND CreateUpDown(HWND parent,
                  int id,
                  int x,
                  int y,
                  int width,
                  int height,
                  HWND buddy,
                  int lower,
                  int upper,
                  int position) {
    InitCommonControlClasses(ICC_UPDOWN_CLASS);
    const HWND upDown = MakeControl(ControlKind::UpDown, parent, id, nullptr, {x, y, x + width, y + height});
    if (!upDown) return nullptr;
    SendMessageA(upDown, UDM_SETBUDDY, reinterpret_cast<WPARAM>(buddy), 0);
    SendMessageA(upDown, UDM_SETRANGE32, static_cast<WPARAM>(lower), static_cast<LPARAM>(upper));
    SetUpDownPos(upDown, position);
    return upDown;
}

void SetUpDownPos(HWND upDown, int64_t value) {
    int lower = 0, upper = 0;
    SendMessageA(upDown, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&lower), reinterpret_cast<LPARAM>(&upper));
    SendMessageA(upDown, UDM_SETPOS32, 0, ClampToRange(value, lower, upper));
}
