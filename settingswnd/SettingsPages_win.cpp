#include "settingswnd/SettingsPages_win.h"

#include <commctrl.h>

#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "ui/Bitmap_win.h"
#include "ui/Checklist_win.h"
#include "ui/Controls_win.h"
#include "ui/LinkLabel_win.h"
#include "ui/Window_win.h"

namespace {

bool Ticked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }
void SetTicked(HWND box, bool ticked) { SendMessageA(box, BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0); }

HWND MakeRow(const ControlLayout& row, HWND parent, HWND previous, WNDPROC imageProc) {
    const int x = row.x, y = row.y, w = row.width, h = row.height;
    switch (row.kind) {
        case LayoutKind::TabControl:
            return nullptr;  // the window makes its tab control itself: it carries the paint callback
        case LayoutKind::Button:
            return CreateButton(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::CheckBox:
            return CreateCheckBox(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::GroupBox:
            return CreateGroupBox(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::CheckList:
            return CreateCheckList(parent, row.id, x, y, w, h);
        case LayoutKind::ComboBox:
            return CreateComboBox(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::EditBox:
            return CreateEditBox(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::UpDown:
            // Up-down controls are placed in pixels; UDS_ALIGNRIGHT moves them onto their buddy.
            return CreateUpDown(parent, row.id, x, y, w, h, previous, row.range.lower, row.range.upper, row.position);
        case LayoutKind::Label:
            return CreateLabel(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::VersionLabel:
            return CreateLabel(parent, row.id, VersionLabelText().c_str(), x, y, w, h);
        case LayoutKind::TitleLabel:
            return CreateTitleLabel(parent, row.id, row.text, x, y, w, h);
        case LayoutKind::Image:
            return CreateImage(parent, row.id, x, y, w, h, imageProc);
        case LayoutKind::LinkLabel:
            return CreateLinkLabel(parent, row.id, row.text, x, y, w, h, row.target);
        case LayoutKind::UrlLabel:
            return CreateUrlLabel(parent, row.id, row.text, x, y, w, h);
    }
    return nullptr;
}

// Paints the preview bitmap through BeginPaint, so the update region is validated and the paint
// does not come back at once.
LRESULT CALLBACK PreviewImageProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg != WM_PAINT) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return GuardedProc([&]() -> LRESULT {
        ScopedPaint paint(hwnd);
        const auto* bitmap = reinterpret_cast<const TBitmap*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
        RECT client = {};
        GetClientRect(hwnd, &client);
        if (bitmap && paint.hdc()) BitBlt(paint.hdc(), 0, 0, client.right, client.bottom, bitmap->DC(), 0, 0, SRCCOPY);
        return 0;
    });
}

void DrawFramePath(HDC hdc, const PixelRect& r, HPEN topLeft, HPEN bottomRight) {
    ScopedSelect pen(hdc, topLeft);
    MoveToEx(hdc, r.left, r.bottom, nullptr);
    LineTo(hdc, r.left, r.top);
    LineTo(hdc, r.right, r.top);
    SelectObject(hdc, bottomRight);
    LineTo(hdc, r.right, r.bottom);
    LineTo(hdc, r.left, r.bottom);
}

}  // namespace

int BuiltRows::EditRow(int editId) const {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (rows_[i].kind == LayoutKind::EditBox && rows_[i].id == editId) return static_cast<int>(i);
    }
    return -1;
}

HWND BuiltRows::ById(int id) const {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (rows_[i].id == id) return windows_[i];
    }
    return nullptr;
}

const ControlLayout* BuiltRows::UpDownRowOf(int editId) const {
    const int edit = EditRow(editId);
    const size_t next = static_cast<size_t>(edit + 1);
    return edit >= 0 && next < windows_.size() && rows_[next].kind == LayoutKind::UpDown ? &rows_[next] : nullptr;
}

HWND BuiltRows::UpDownOf(int editId) const {
    const ControlLayout* row = UpDownRowOf(editId);
    return row ? windows_[static_cast<size_t>(row - rows_)] : nullptr;
}

HWND BuiltRows::RowAfter(HWND control) const {
    for (size_t i = 0; i + 1 < windows_.size(); ++i) {
        if (windows_[i] == control) return windows_[i + 1];
    }
    return nullptr;
}

HWND BuiltRows::EditOf(int editId) const {
    const int edit = EditRow(editId);
    return edit >= 0 ? windows_[static_cast<size_t>(edit)] : nullptr;
}

HWND BuiltRows::OpenedBy(Place place) const {
    for (size_t i = 0; i < windows_.size(); ++i) {
        if (rows_[i].kind == LayoutKind::GroupBox && rows_[i].opens == place) return windows_[i];
    }
    return nullptr;
}

BuiltRows BuildRows(const ControlLayout* begin, const ControlLayout* end, HWND window, HWND page, WNDPROC imageProc) {
    std::vector<HWND> windows;
    HWND previous = nullptr;
    for (const ControlLayout* row = begin; row != end; ++row) {
        HWND parent = row->parent == Place::Window ? window : row->parent == Place::Page ? page : nullptr;
        if (!parent) parent = BuiltRows(begin, windows).OpenedBy(row->parent);
        const HWND control = MakeRow(*row, parent, previous, imageProc);
        if (control && row->tooltip) AddToolTip(control, row->tooltip);
        windows.push_back(control);
        previous = control;
    }
    return BuiltRows(begin, std::move(windows));
}

void ScreensaversPage::OnInit(HWND page, const ControlValues& values) {
    rows_ = BuildRows(std::begin(kScreensaversPage), std::end(kScreensaversPage), nullptr, page, PreviewImageProc);
    list_ = rows_.ById(kIdSaverList);
    image_ = rows_.ById(kIdPreviewImage);
    SetWindowLongPtrA(image_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(previewBitmap_));

    const HWND order = rows_.ById(kIdOrder);
    SendMessageA(order, CB_RESETCONTENT, 0, 0);
    for (const OrderChoice& choice : kOrderChoices)
        SendMessageA(order, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.text));
    SendMessageA(order, CB_SETCURSEL, static_cast<WPARAM>(values.orderRow), 0);

    LoadSavers();
    SetTicked(rows_.ById(kIdChangeOnceADay), values.changeOnceADay);
    SetTicked(rows_.ById(kIdChangeEvery), values.changeEvery);
    SetFieldValue(kIdChangeMinutes, values.changeMinutes);
    ShowChangeEvery(values);
    SetFieldValue(kIdWaitMinutes, values.waitMinutes);
    SetFieldValue(kIdWaitSeconds, values.waitSeconds);
}

void ScreensaversPage::LoadSavers() {
    SendMessageA(list_, LB_RESETCONTENT, 0, 0);
    for (int i = 0; i < savers_.Count(); ++i) {
        const TSaverItem& saver = savers_.ItemPtr(i);
        const LRESULT row = SendMessageA(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(saver.Description.c_str()));
        if (row >= 0) SetRowTick(list_, static_cast<int>(row), saver.Checked ? 1 : 0);
    }
}

void ScreensaversPage::ReloadTicks() {
    const int rows = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
    for (int row = 0; row < rows && row < savers_.Count(); ++row)
        SetRowTick(list_, row, savers_.ItemPtr(row).Checked ? 1 : 0);
    InvalidateRect(list_, nullptr, FALSE);
}

void ScreensaversPage::CopyTicks(int row) {
    const int rows = static_cast<int>(SendMessageA(list_, LB_GETCOUNT, 0, 0));
    for (int i = row < 0 ? 0 : row; i < rows && i < savers_.Count() && (row < 0 || i == row); ++i)
        savers_.ItemPtr(i).Checked = IsRowTicked(list_, i);
}

void ScreensaversPage::EnableSaverButtons(bool enable) {
    for (int id : {kIdSaverSettings, kIdSaverPreview})
        EnableWindow(rows_.ById(id), enable);
}

void ScreensaversPage::DrawPreviewFrame(HPEN highlight, HPEN shadow) const {
    const HWND box = GetParent(image_);
    // Anything the box still has to paint would cover the frame drawn below. Its children are left
    // alone: UpdateWindow would send WM_PAINT to the preview's window, and a frozen saver would
    // never answer.
    RedrawWindow(box, nullptr, nullptr, RDW_UPDATENOW | RDW_NOCHILDREN);
    RECT image = {};
    GetWindowRect(image_, &image);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&image), 2);
    const PreviewFrames frames = PreviewFramesAround({image.left, image.top, image.right, image.bottom},
                                                     ScaleDpi(kFrameNearGap), ScaleDpi(kFrameFarGap));
    ScopedGetDc dc(box);
    if (!dc.get()) return;
    DrawFramePath(dc.get(), frames.raised, highlight, shadow);
    DrawFramePath(dc.get(), frames.sunken, shadow, highlight);
}

void ScreensaversPage::ShowChangeEvery(const ControlValues& values) {
    const bool enabled = ChangeMinutesEnabled(values);
    EnableWindow(rows_.ById(kIdChangeMinutes), enabled);
    EnableWindow(rows_.UpDownOf(kIdChangeMinutes), enabled);
    EnableWindow(rows_.RowAfter(rows_.UpDownOf(kIdChangeMinutes)), enabled);  // its "minutes"
}

int32_t ScreensaversPage::FieldValue(int editId) const {
    const auto last = lastNumber_.find(editId);
    return FieldFromText(ControlText(rows_.EditOf(editId)), rows_.UpDownRowOf(editId)->range,
                         last == lastNumber_.end() ? 0 : last->second);
}

void ScreensaversPage::SetFieldValue(int editId, int32_t value) {
    lastNumber_[editId] = value;
    // The up-down writes the value into its edit box.
    SetUpDownPos(rows_.UpDownOf(editId), value);
}

void ScreensaversPage::OnApply(ControlValues& values) const {
    values.changeOnceADay = Ticked(rows_.ById(kIdChangeOnceADay));
    const LRESULT order = SendMessageA(rows_.ById(kIdOrder), CB_GETCURSEL, 0, 0);
    values.orderRow = order == CB_ERR ? -1 : static_cast<int>(order);
    values.changeEvery = Ticked(rows_.ById(kIdChangeEvery));
    values.changeMinutes = FieldValue(kIdChangeMinutes);
    values.waitMinutes = FieldValue(kIdWaitMinutes);
    values.waitSeconds = FieldValue(kIdWaitSeconds);
}

bool ScreensaversPage::OnCommand(int id, int code) {
    switch (id) {
        case kIdChangeOnceADay:
        case kIdChangeEvery: {
            ControlValues values;
            OnApply(values);
            if (id == kIdChangeEvery) {
                OnChangeEveryClicked(values);
            } else {
                OnChangeOnceADayClicked(values);
            }
            SetTicked(rows_.ById(kIdChangeOnceADay), values.changeOnceADay);
            SetTicked(rows_.ById(kIdChangeEvery), values.changeEvery);
            ShowChangeEvery(values);
            return true;
        }
        case kIdWaitMinutes:
        case kIdWaitSeconds:
        case kIdChangeMinutes:
            // Up-downs share the seconds field's id; only the edit box's notifications count, and
            // only once the page is built (the up-downs fill their edit boxes while it is).
            if (!rows_.UpDownRowOf(id)) return true;
            if (code == EN_CHANGE) {
                lastNumber_[id] = FieldValue(id);
            } else if (code == EN_KILLFOCUS) {
                // A field shows what it will save once the user leaves it.
                SetFieldValue(id, FieldValue(id));
            }
            return true;
    }
    return false;
}

void OptionsPage::OnInit(HWND page, const ControlValues& values) {
    rows_ = BuildRows(std::begin(kOptionsPage), std::end(kOptionsPage), nullptr, page, nullptr);
    agentInstalled_ = values.agentInstalled;
    SetTicked(rows_.ById(kIdPassword), values.passwordProtected);
    SetTicked(rows_.ById(kIdBlackBetween), values.blackBetween);
    SetTicked(rows_.ById(kIdSkipFailed), values.skipFailed);
    ShowAgent(values);
    if (!AgentBoxEnabled(values)) AddToolTip(rows_.ById(kIdAgent), kAgentMissingTip);
}

void OptionsPage::ShowAgent(const ControlValues& values) {
    SetTicked(rows_.ById(kIdAgent), values.agentEnabled);
    SetTicked(rows_.ById(kIdRestoreSaver), values.restoreSaver);
    SetTicked(rows_.ById(kIdRestoreDelay), values.restoreDelay);
    EnableWindow(rows_.ById(kIdAgent), AgentBoxEnabled(values));
    for (int id : {kIdRestoreSaver, kIdRestoreDelay})
        EnableWindow(rows_.ById(id), AgentOptionsEnabled(values));
}

void OptionsPage::OnApply(ControlValues& values) const {
    values.agentInstalled = agentInstalled_;
    values.passwordProtected = Ticked(rows_.ById(kIdPassword));
    values.blackBetween = Ticked(rows_.ById(kIdBlackBetween));
    values.skipFailed = Ticked(rows_.ById(kIdSkipFailed));
    values.agentEnabled = Ticked(rows_.ById(kIdAgent));
    values.restoreSaver = Ticked(rows_.ById(kIdRestoreSaver));
    values.restoreDelay = Ticked(rows_.ById(kIdRestoreDelay));
}

bool OptionsPage::OnCommand(int id, int) {
    if (id != kIdAgent) return false;
    ControlValues values;
    OnApply(values);
    OnAgentClicked(values);
    ShowAgent(values);
    return true;
}

void AboutPage::OnInit(HWND page, const ControlValues&) {
    rows_ = BuildRows(std::begin(kAboutPage), std::end(kAboutPage), nullptr, page, nullptr);
}
