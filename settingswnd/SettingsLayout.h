// Where every control of the settings window sits, what it says and which id it answers to. The
// tables list the controls in creation order, which is also the Tab order. Numbers are layout
// units (1/96 inch) that pass through ScaleDpi once at creation, except rows marked inPixels.
// No Windows headers: built natively too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/Schedule.h"
#include "settings/AgentContract.h"

// The toolkit factory (or, for up-downs, the common-controls call) that makes a row.
enum class LayoutKind : uint8_t {
    TabControl,
    Button,
    CheckBox,
    GroupBox,
    CheckList,
    ComboBox,
    EditBox,
    UpDown,  // buddy: the edit box in the row before
    Label,
    VersionLabel,  // a label whose text is VersionLabelText()
    TitleLabel,
    Image,
    LinkLabel,  // text = title, target = address; as wide as the title measures, `width` when that is 0
    UrlLabel,   // text = target = address
};

// The parent of a control: the window, the page its table belongs to, or one of that page's group
// boxes (a group box row names the place it opens).
enum class Place : uint8_t { None, Window, Page, SaverListBox, PreviewBox, OrderBox, AgentBox, LinksBox, SettingsBox };

// A typed number below `lower` becomes `belowLower`, one above `upper` becomes `upper`.
struct NumberRange {
    int32_t lower;
    int32_t upper;
    int32_t belowLower;
};

struct ControlLayout {
    LayoutKind kind;
    int id;
    Place parent;
    const char* text;
    int x, y, width, height;
    const char* tooltip;
    Place opens;    // group boxes only
    bool inPixels;  // the up-downs and the preview image are sized in pixels
    NumberRange range;
    int32_t position;    // up-downs: the start position
    const char* target;  // link labels: the address the shell opens
};

// The pages' controls are built while the tab strip's height is not yet known; the page top is
// then taken as this.
constexpr int kBuildPageTop = 10;
constexpr int kPreviewWidth = 152;
constexpr int kPreviewHeight = 112;

constexpr int32_t kChangeMinutesFallback = 30;
constexpr NumberRange kWaitMinutesRange{0, kLongestWaitMinutes, 0};
constexpr NumberRange kWaitSecondsRange{0, 59, 0};
static_assert(kWaitMinutesRange.upper * 60 + kWaitSecondsRange.upper == kLongestDelay);
// No interval at all is the usual half hour, not the shortest one.
constexpr NumberRange kChangeMinutesRange{1, 10000, kChangeMinutesFallback};

// The window: 609 layout units wide, its caption and border plus this many high.
constexpr int kWindowWidth = 609;
constexpr int kWindowBodyHeight = 447;
constexpr int kTabX = 10, kTabY = 10, kTabWidth = 583, kTabHeight = 395;

constexpr ControlLayout MakeRow(LayoutKind kind,
                                int id,
                                Place parent,
                                const char* text,
                                int x,
                                int y,
                                int width,
                                int height,
                                const char* tooltip = nullptr) {
    return {kind, id, parent, text, x, y, width, height, tooltip, Place::None, false, {0, 0, 0}, 0, nullptr};
}
constexpr ControlLayout MakeGroup(Place opens, const char* text, int x, int y, int width, int height) {
    ControlLayout row = MakeRow(LayoutKind::GroupBox, 0, Place::Page, text, x, y, width, height);
    row.opens = opens;
    return row;
}
constexpr ControlLayout MakeUpDown(int id, Place parent, int x, int y, NumberRange range, int32_t position) {
    ControlLayout row = MakeRow(LayoutKind::UpDown, id, parent, nullptr, x, y, 52, 21);
    row.inPixels = true;
    row.range = range;
    row.position = position;
    return row;
}
constexpr ControlLayout
MakeLink(LayoutKind kind, const char* text, const char* target, Place parent, int x, int y, int width, int height) {
    ControlLayout row = MakeRow(kind, 0, parent, text, x, y, width, height);
    row.target = target;
    return row;
}
constexpr ControlLayout MakeImage(int id, Place parent, int x, int y, const char* tooltip) {
    ControlLayout row = MakeRow(LayoutKind::Image, id, parent, nullptr, x, y, kPreviewWidth, kPreviewHeight, tooltip);
    row.inPixels = true;
    return row;
}

// Control ids the window's procedure acts on.
enum ControlId : int {
    kIdPassword = 5,
    kIdSaverList = 6,
    kIdSaverSettings = 7,
    kIdSaverPreview = 8,
    kIdWaitSeconds = 9,  // also both up-downs of the wait time, which nothing addresses by id
    kIdWaitMinutes = 10,
    kIdPreviewImage = 11,
    kIdAgent = 12,
    kIdRestoreSaver = 13,
    kIdRestoreDelay = 14,
    kIdOk = 16,
    kIdCancel = 17,
    kIdTestRun = 26,
    kIdTabs = 27,
    kIdOrder = 32,
    kIdChangeOnceADay = 34,
    kIdChangeEvery = 35,
    kIdChangeMinutes = 36,
    kIdChangeMinutesUpDown = 37,
    kIdBlackBetween = 38,
    kIdSkipFailed = 39,
};

// The tab control comes first; the pages are built after it and the buttons last.
inline constexpr ControlLayout kWindowControls[] = {
    MakeRow(LayoutKind::TabControl, kIdTabs, Place::Window, "Main_TAB", kTabX, kTabY, kTabWidth, kTabHeight),
    MakeRow(LayoutKind::Button, kIdOk, Place::Window, "OK", 347, 412, 75, 23, "Save changes and exit"),
    MakeRow(LayoutKind::Button, kIdCancel, Place::Window, "Cancel", 432, 412, 75, 23, "Exit without saving"),
    MakeRow(LayoutKind::Button, kIdTestRun, Place::Window, "Preview", 517, 412, 75, 23, "Run screensaver"),
};

// The rows below the preview image follow its height.
constexpr int kPreviewButtonY = kPreviewHeight + 61;
constexpr int kPreviewEditY = kPreviewHeight + 96;
constexpr int kPreviewLabelY = kPreviewHeight + 99;

inline constexpr ControlLayout kScreensaversPage[] = {
    MakeGroup(Place::SaverListBox, "", 6, kBuildPageTop - 6, 210, 359),
    MakeRow(LayoutKind::CheckList, kIdSaverList, Place::SaverListBox, "Checklist_PR", 10, 16, 190, 332),
    MakeGroup(Place::PreviewBox, "Preview", 226, kBuildPageTop - 6, 340, 240),
    MakeImage(kIdPreviewImage, Place::PreviewBox, 80, 36, "Preview of pictures"),
    MakeRow(LayoutKind::Button, kIdSaverSettings, Place::PreviewBox, "Settings", 71, kPreviewButtonY, 80, 20),
    MakeRow(LayoutKind::Button, kIdSaverPreview, Place::PreviewBox, "Preview", 161, kPreviewButtonY, 80, 20),
    MakeRow(LayoutKind::Label, 0, Place::PreviewBox, "Run after:", 30, kPreviewLabelY, 55, 20),
    MakeRow(LayoutKind::EditBox, kIdWaitMinutes, Place::PreviewBox, "0", 85, kPreviewEditY, 45, 20),
    MakeUpDown(kIdWaitSeconds, Place::PreviewBox, 35, kPreviewEditY, kWaitMinutesRange, 1),
    MakeRow(LayoutKind::Label, 0, Place::PreviewBox, "minutes", 133, kPreviewLabelY, 40, 20),
    MakeRow(LayoutKind::EditBox, kIdWaitSeconds, Place::PreviewBox, "0", 180, kPreviewEditY, 45, 20),
    MakeUpDown(kIdWaitSeconds, Place::PreviewBox, 35, kPreviewEditY, kWaitSecondsRange, 0),
    MakeRow(LayoutKind::Label, 0, Place::PreviewBox, "seconds of inactivity", 228, kPreviewLabelY, 105, 20),
    MakeGroup(Place::OrderBox, "Display order", 226, kBuildPageTop + 247, 340, 106),
    // The height of a drop-down list is that of its open list.
    MakeRow(LayoutKind::ComboBox, kIdOrder, Place::OrderBox, "Sequential", 20, 24, 120, 107),
    MakeRow(LayoutKind::CheckBox, kIdChangeOnceADay, Place::OrderBox, "Change once a day", 20, 54, 130, 16),
    MakeRow(LayoutKind::CheckBox, kIdChangeEvery, Place::OrderBox, "Change every", 20, 78, 90, 16),
    MakeRow(LayoutKind::EditBox, kIdChangeMinutes, Place::OrderBox, "30", 110, 75, 45, 20),
    MakeUpDown(kIdChangeMinutesUpDown, Place::OrderBox, 170, 75, kChangeMinutesRange, kChangeMinutesFallback),
    MakeRow(LayoutKind::Label, 0, Place::OrderBox, "minutes", 160, 78, 40, 20),
};

inline constexpr ControlLayout kOptionsPage[] = {
    MakeGroup(Place::AgentBox, "Tray agent", 16, kBuildPageTop + 5, 260, 106),
    MakeRow(LayoutKind::CheckBox, kIdAgent, Place::AgentBox, "Enable Vantora agent", 20, 24, 180, 16),
    MakeRow(LayoutKind::CheckBox,
            kIdRestoreSaver,
            Place::AgentBox,
            "Set itself as default screensaver",
            20,
            49,
            180,
            16),
    MakeRow(LayoutKind::CheckBox,
            kIdRestoreDelay,
            Place::AgentBox,
            "Restore Wait time",
            20,
            74,
            130,
            16,
            "Required to set seconds, but you can edit Wait time only in Vantora"),
    MakeGroup(Place::LinksBox, "See also", 16, kBuildPageTop + 126, 260, 151),
    MakeLink(LayoutKind::LinkLabel, "Tidewall", "https://kestrella.example/tidewall/", Place::LinksBox, 30, 26, 45, 20),
    MakeLink(LayoutKind::LinkLabel,
             "Emberglass",
             "https://kestrella.example/emberglass/",
             Place::LinksBox,
             30,
             56,
             45,
             20),
    MakeLink(LayoutKind::LinkLabel,
             "Lumenrest",
             "https://kestrella.example/lumenrest/",
             Place::LinksBox,
             30,
             86,
             45,
             20),
    MakeLink(LayoutKind::LinkLabel,
             "Quillbox",
             "https://kestrella.example/quillbox/",
             Place::LinksBox,
             30,
             116,
             45,
             20),
    MakeGroup(Place::SettingsBox, "Settings", 296, kBuildPageTop + 5, 260, 106),
    MakeRow(LayoutKind::CheckBox, kIdPassword, Place::SettingsBox, "Password protected", 20, 24, 150, 20),
    MakeRow(LayoutKind::CheckBox,
            kIdBlackBetween,
            Place::SettingsBox,
            "Black screen between screensavers",
            20,
            49,
            220,
            16,
            "The desktop stays hidden while one screensaver makes way for the next"),
    MakeRow(LayoutKind::CheckBox,
            kIdSkipFailed,
            Place::SettingsBox,
            "Skip screensavers that fail",
            20,
            74,
            220,
            16,
            "A screensaver that fails to start or ends by itself makes way for the next"),
};

constexpr int kAboutTop = kBuildPageTop - 32;
inline constexpr ControlLayout kAboutPage[] = {
    MakeRow(LayoutKind::TitleLabel, 0, Place::Page, "Vantora", 161, kAboutTop + 60, 300, 25),
    MakeRow(LayoutKind::Label, 0, Place::Page, "Copyright (c) 2003-2024 Kestrella", 206, kBuildPageTop + 288, 250, 25),
    MakeRow(LayoutKind::Label, 0, Place::Page, "All rights reserved", 246, kBuildPageTop + 318, 150, 25),
    MakeRow(LayoutKind::VersionLabel, 0, Place::Page, nullptr, 266, kAboutTop + 90, 120, 25),
    MakeRow(LayoutKind::Label, 0, Place::Page, "Home page :", 186, kAboutTop + 200, 80, 20),
    MakeLink(LayoutKind::UrlLabel,
             "https://kestrella.example/vantora/",
             "https://kestrella.example/vantora/",
             Place::Page,
             286,
             kAboutTop + 200,
             168,
             20),
    MakeRow(LayoutKind::Label, 0, Place::Page, "Technical support :", 186, kAboutTop + 250, 100, 20),
    MakeLink(LayoutKind::UrlLabel,
             "https://kestrella.example/vantora/support/",
             "https://kestrella.example/vantora/support/",
             Place::Page,
             286,
             kAboutTop + 250,
             225,
             20),
};

struct PageLayout {
    const char* caption;
    const ControlLayout* rows;
    size_t count;
    const ControlLayout* begin() const { return rows; }
    const ControlLayout* end() const { return rows + count; }
};

enum PageIndex : int { kScreensaversPageIndex = 0, kOptionsPageIndex = 1, kAboutPageIndex = 2 };
inline constexpr PageLayout kPages[] = {
    {"Screensavers", kScreensaversPage, sizeof kScreensaversPage / sizeof kScreensaversPage[0]},
    {"Options", kOptionsPage, sizeof kOptionsPage / sizeof kOptionsPage[0]},
    {"About", kAboutPage, sizeof kAboutPage / sizeof kAboutPage[0]},
};
inline constexpr PageLayout kWindowLayout{nullptr, kWindowControls, sizeof kWindowControls / sizeof kWindowControls[0]};

// Why the agent box is greyed when the install folder has no agent.
constexpr char kAgentMissingTip[] = "vtagent.exe is not in the install folder: reinstall Vantora to use the agent";

// The display order's choices, in the combo box's row order, with the "Order" mode each stands for.
struct OrderChoice {
    const char* text;
    int32_t mode;
};
inline constexpr OrderChoice kOrderChoices[] = {{"Sequential", kOrderSequential},
                                                {"Reverse", kOrderReverse},
                                                {"Random", kOrderRandom}};
constexpr int kOrderChoiceCount = sizeof kOrderChoices / sizeof kOrderChoices[0];

// "Version : 1.2.0.0".
std::string VersionLabelText();

struct PixelRect {
    int left, top, right, bottom;
};
// The raised frame around the preview image and the sunken one just outside it, placed from the
// image window's own rectangle (in the coordinates the frames are drawn in) so they sit on it at
// every dpi. `nearGap` and `farGap` are ScaleDpi(kFrameNearGap) and ScaleDpi(kFrameFarGap).
constexpr int kFrameNearGap = 8, kFrameFarGap = 9;
struct PreviewFrames {
    PixelRect raised;
    PixelRect sunken;
};
PreviewFrames PreviewFramesAround(const PixelRect& image, int nearGap, int farGap);
