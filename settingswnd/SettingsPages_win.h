// The settings window's three pages. Each builds its controls from its layout table, shows the
// values it edits, answers the commands of its own controls and hands back what they show.
#pragma once

#include <windows.h>

#include <array>
#include <map>
#include <vector>

#include "settingswnd/SettingsLayout.h"
#include "settingswnd/SettingsModel.h"

class TBitmap;
class TSaverList;

// The windows made from a layout table, one per row in the table's order.
class BuiltRows {
public:
    BuiltRows() = default;
    BuiltRows(const ControlLayout* rows, std::vector<HWND> windows) : rows_(rows), windows_(std::move(windows)) {}
    // The first window of a row with `id`; null when there is none.
    HWND ById(int id) const;
    // The up-down whose buddy is the edit box with `editId`, and that up-down's row.
    HWND UpDownOf(int editId) const;
    const ControlLayout* UpDownRowOf(int editId) const;
    HWND OpenedBy(Place place) const;
    // The window of the row after the one of `control`.
    HWND RowAfter(HWND control) const;
    // The edit box with `editId` (up-downs may share its id).
    HWND EditOf(int editId) const;

private:
    int EditRow(int editId) const;
    const ControlLayout* rows_ = nullptr;
    std::vector<HWND> windows_;
};

// Makes the controls of `rows` (tooltips included); `page` stands for Place::Page and `window` for
// Place::Window, and group boxes stand for the places they open. `imageProc` paints image rows.
BuiltRows BuildRows(const ControlLayout* begin, const ControlLayout* end, HWND window, HWND page, WNDPROC imageProc);

class SettingsPage {
public:
    virtual ~SettingsPage() = default;
    // Builds the controls in `page` and shows `values` in them.
    virtual void OnInit(HWND page, const ControlValues& values) = 0;
    // The page became the current one.
    virtual void OnSetActive() {}
    // Puts what the controls show into `values`.
    virtual void OnApply(ControlValues& values) const = 0;
    // A command of one of the page's own controls; false when it is not the page's.
    virtual bool OnCommand(int id, int code) = 0;
};

class ScreensaversPage : public SettingsPage {
public:
    // The checklist shows `savers` and the preview image `previewBitmap`; both must outlive the
    // page's windows.
    ScreensaversPage(TSaverList& savers, const TBitmap* previewBitmap)
        : savers_(savers), previewBitmap_(previewBitmap) {}
    void OnInit(HWND page, const ControlValues& values) override;
    void OnApply(ControlValues& values) const override;
    bool OnCommand(int id, int code) override;

    // One row per entry of the list, in its order, ticked as the entry is.
    void LoadSavers();
    // Every row's tick from its entry, the rows and the selection left as they are.
    void ReloadTicks();
    // The entry of `row` takes the row's tick; every row's when `row` is -1.
    void CopyTicks(int row);
    void EnableSaverButtons(bool enable);
    // The raised and sunken frames around the preview image.
    void DrawPreviewFrame(HPEN highlight, HPEN shadow) const;

    HWND SaverList() const { return list_; }
    HWND PreviewImage() const { return image_; }

private:
    void ShowChangeEvery(const ControlValues& values);
    int32_t FieldValue(int editId) const;
    void SetFieldValue(int editId, int32_t value);

    TSaverList& savers_;
    const TBitmap* previewBitmap_;
    // Per number field, the last number it held: what text that is no number gives back.
    std::map<int, int32_t> lastNumber_;
    BuiltRows rows_;
    HWND list_ = nullptr;
    HWND image_ = nullptr;
};

class OptionsPage : public SettingsPage {
public:
    void OnInit(HWND page, const ControlValues& values) override;
    void OnApply(ControlValues& values) const override;
    bool OnCommand(int id, int code) override;

private:
    void ShowAgent(const ControlValues& values);
    BuiltRows rows_;
    bool agentInstalled_ = true;
};

class AboutPage : public SettingsPage {
public:
    void OnInit(HWND page, const ControlValues& values) override;
    void OnApply(ControlValues&) const override {}
    bool OnCommand(int, int) override { return false; }

private:
    BuiltRows rows_;
};
