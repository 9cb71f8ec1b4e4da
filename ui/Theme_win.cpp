#include "ui/Theme_win.h"

#include <string>

#include "app/DynCalls_win.h"
#include "ui/Controls_win.h"
#include "ui/Tabs_win.h"

namespace {

bool themeActive = false;

// Every entry the toolkit calls while themed; one missing means classic drawing throughout.
bool HasDrawingEntries(const UxthemeCalls& ux) {
    return ux.IsAppThemed && ux.IsThemeActive && ux.OpenThemeData && ux.CloseThemeData && ux.DrawThemeBackground &&
           ux.DrawThemeParentBackground;
}

std::string ClassNameOf(HWND hwnd) {
    char name[101] = {};
    const int length = GetClassNameA(hwnd, name, sizeof name);
    return std::string(name, length > 0 ? static_cast<size_t>(length) : 0);
}

CtlColorQuery QueryFor(HWND control, const std::string& className) {
    CtlColorQuery query;
    query.className = className;
    query.buttonType = static_cast<unsigned>(GetWindowLongPtrA(control, GWL_STYLE) & 0xF);
    query.usesGuiFont = reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)) == GuiFont();
    const HWND parent = GetParent(control);
    query.parentIsTab = IsRegisteredTab(parent);
    query.parentIsPage = IsPageWindow(parent);
    return query;
}

}  // namespace

bool LoadThemeApi() {
    const UxthemeCalls& ux = DynUxtheme();
    themeActive = HasDrawingEntries(ux) && ux.IsAppThemed() && ux.IsThemeActive();
    return themeActive;
}

void UnloadThemeApi() { themeActive = false; }

bool ThemeActive() { return themeActive; }

bool DrawParentBackground(HWND control, HDC hdc) {
    return themeActive && SUCCEEDED(DynUxtheme().DrawThemeParentBackground(control, hdc, nullptr));
}

bool DrawButtonPart(HWND window, HDC hdc, int part, int state, const RECT& box) {
    if (!themeActive) return false;
    const UxthemeCalls& ux = DynUxtheme();
    const HTHEME theme = ux.OpenThemeData(window, L"Button");
    if (!theme) return false;
    const bool drawn = SUCCEEDED(ux.DrawThemeBackground(theme, hdc, part, state, &box, nullptr));
    ux.CloseThemeData(theme);
    return drawn;
}

bool AnswerCtlColor(CtlColorForm form, HWND control, HDC hdc, LRESULT& result) {
    const std::string className = ClassNameOf(control);
    const CtlColorPlan plan = PlanCtlColor(form, QueryFor(control, className));
    if (plan.transparentText) SetBkMode(hdc, TRANSPARENT);
    if (plan.background == ParentBackground::OfControl) DrawParentBackground(control, hdc);
    if (plan.background == ParentBackground::OfControlParent) DrawParentBackground(GetParent(control), hdc);
    if (plan.answer == CtlColorAnswer::PassOn) return false;
    result = reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    return true;
}
