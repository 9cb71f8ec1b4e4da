#include "ui/Checklist_win.h"

#include "app/Handles.h"
#include "ui/Checklist.h"
#include "ui/Controls_win.h"
#include "ui/Theme_win.h"
#include "ui/Window_win.h"

namespace {

constexpr int kCheckBoxPart = 3;  // BP_CHECKBOX

int RowCount(HWND list) {
    const LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
    return count == LB_ERR ? 0 : static_cast<int>(count);
}

uintptr_t ItemData(HWND list, int row) {
    return static_cast<uintptr_t>(SendMessageA(list, LB_GETITEMDATA, static_cast<WPARAM>(row), 0));
}

BoxRect AsBox(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

void DrawRow(HWND list, DRAWITEMSTRUCT& item) {
    const int size = CheckBoxSize();
    const int row = static_cast<int>(item.itemID);
    if (row >= 0 && row < RowCount(list)) {
        DrawCheckBox(list, item.hDC, item.rcItem, true, RowDrawState(ItemData(list, row)));
        RECT text = item.rcItem;
        text.left += size + 4;
        // Highlight and focus rectangle leave the check box out.
        item.rcItem.left += size + 2;
        const bool selected = (item.itemState & ODS_SELECTED) != 0;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        SetTextColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        SetBkColor(item.hDC, GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
        const std::string caption = RowText(list, row);
        DrawTextA(item.hDC, caption.c_str(), static_cast<int>(caption.size()), &text,
                  DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    if (item.itemState & ODS_FOCUS) DrawFocusRect(item.hDC, &item.rcItem);
}

void OnSpace(HWND list) {
    const LRESULT selected = SendMessageA(list, LB_GETCURSEL, 0, 0);
    if (selected != LB_ERR) ToggleRow(list, static_cast<int>(selected));
    // The owner reads the ticks on a selection change, so a toggle is reported as one.
    const int id = GetDlgCtrlID(list);
    SendMessageA(GetParent(list), WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void OnLeftButtonDown(HWND list, LPARAM lParam) {
    const int row = RowFromY(list, static_cast<short>(HIWORD(lParam)));
    if (row >= 0 && InCheckStrip(static_cast<short>(LOWORD(lParam)), CheckBoxSize())) ToggleRow(list, row);
}

LRESULT CALLBACK CheckListProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    return GuardedProc([&]() -> LRESULT {
        switch (msg) {
            case WM_DRAWITEM:
                DrawRow(hwnd, *reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
                return 0;
            case WM_CHAR:
                if (wParam == VK_SPACE) OnSpace(hwnd);
                break;
            case WM_LBUTTONDOWN:
                OnLeftButtonDown(hwnd, lParam);
                break;
        }
        return CallBase(SubclassKind::CheckList, hwnd, msg, wParam, lParam);
    });
}

}  // namespace

HWND CreateCheckList(HWND parent, int id, int x, int y, int width, int height) {
    const HWND list = MakeControl(ControlKind::CheckList, parent, id, nullptr, ScaledRect(x, y, width, height));
    if (list) Subclass(list, SubclassKind::CheckList, CheckListProc);
    return list;
}

int CheckBoxSize() { return ScaleDpi(kCheckBoxLayoutSize); }

void SetRowTick(HWND list, int row, uintptr_t value) {
    SendMessageA(list, LB_SETITEMDATA, static_cast<WPARAM>(row), static_cast<LPARAM>(value & 0xFF));
}

bool IsRowTicked(HWND list, int row) { return IsTicked(ItemData(list, row)); }

void ToggleRow(HWND list, int row) {
    const uintptr_t data = ItemData(list, row);
    if (IsRowLocked(data)) return;
    SetRowTick(list, row, ToggledItemData(data));
    InvalidateRect(list, nullptr, FALSE);
}

int RowFromY(HWND list, int y) {
    std::vector<RowSpan> rows(static_cast<size_t>(RowCount(list)));
    for (size_t i = 0; i < rows.size(); ++i) {
        RECT r = {};
        if (SendMessageA(list, LB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)) != LB_ERR) rows[i] = {r.top, r.bottom};
    }
    return RowAtY(rows, y);
}

std::string RowText(HWND list, int row) {
    const LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    if (length == LB_ERR || length <= 0) return {};
    std::string text(static_cast<size_t>(length) + 1, '\0');
    const LRESULT copied =
        SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text.data()));
    text.resize(copied == LB_ERR ? 0 : static_cast<size_t>(copied));
    return text;
}

std::vector<uintptr_t> RowTicks(HWND list) {
    std::vector<uintptr_t> ticks(static_cast<size_t>(RowCount(list)));
    for (size_t i = 0; i < ticks.size(); ++i)
        ticks[i] = ItemData(list, static_cast<int>(i)) & 0xFF;
    return ticks;
}

bool DrawCheckBox(HWND window, HDC hdc, const RECT& rect, bool enabled, int state) {
    const BoxRect b = CheckBoxIn(AsBox(rect), CheckBoxSize());
    RECT box = {b.left, b.top, b.right, b.bottom};
    if (DrawButtonPart(window, hdc, kCheckBoxPart, ThemeCheckStateId(state, enabled), box)) return true;
    bool drawn = false;
    {
        // Only the inside of the box is painted; the system's sunken edge falls outside the clip.
        ScopedClipRegion clip(hdc);
        IntersectClipRect(hdc, box.left + 2, box.top + 2, box.right - 2, box.bottom - 2);
        drawn = DrawFrameControl(hdc, &box, DFC_BUTTON, FrameControlFlags(state, enabled)) != 0;
    }
    ScopedSelect pen(hdc, ShadowPen());
    ScopedSelect brush(hdc, GetStockObject(HOLLOW_BRUSH));
    return Rectangle(hdc, box.left + 1, box.top + 1, box.right - 1, box.bottom - 1) && drawn;
}
