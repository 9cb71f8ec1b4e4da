#include <gtest/gtest.h>

#include "app/Exception.h"
#include "ui/Checklist.h"
#include "ui/ControlKinds.h"
#include "ui/Dpi.h"
#include "ui/TabPages.h"
#include "ui/Transparency.h"

namespace {

TEST(Dpi, RoundsTiesToEvenBothWays) {
    const struct {
        int value, dpi, scaled;
    } cases[] = {{583, 120, 729}, {10, 120, 12}, {466, 120, 582},   {609, 144, 914},        {14, 120, 18},
                 {-10, 120, -12}, {-2, 120, -2}, {-583, 120, -729}, {-1, 144, -2},          {7, 96, 7},
                 {2, 72, 2},      {0, 120, 0},   {5, 0, 5},         {1 << 24, 192, 1 << 25}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
        if (c.dpi == 120) EXPECT_EQ(UnscaleDpi(c.scaled, c.dpi), c.value) << c.value;
    }
    EXPECT_EQ(UnscaleDpi(25, 144), 17);
    EXPECT_EQ(UnscaleDpi(-25, 144), -17);
    EXPECT_EQ(UnscaleDpi(3, 192), 2);  // 1.5 -> 2
    EXPECT_EQ(UnscaleDpi(5, 192), 2);  // 2.5 -> 2
    EXPECT_EQ(UnscaleDpi(-5, 192), -2);
}

TEST(Dpi, UpDownValuesStopAtTheRangeEnds) {
    const struct {
        int64_t value;
        int lower, upper, clamped;
    } cases[] = {{1000000000 / 60, 0, 9999, 9999}, {-5, 0, 59, 0},        {30, 1, 10000, 30},
                 {65536 + 7, 1, 10000, 10000},     {5, 10, 0, 5},         {-1, 10, 0, 0},
                 {INT64_MAX, 0, 59, 59},           {INT64_MIN, -3, 3, -3}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampToRange(c.value, c.lower, c.upper), c.clamped) << c.value;
}

TEST(Checklist, RowsAreHalfOpenAndTheStripIsBoxPlusTwo) {
    const std::vector<RowSpan> rows = {{0, 16}, {16, 32}, {32, 48}};
    const struct { int y, row; } hits[] = {{-1, -1}, {0, 0}, {15, 0}, {16, 1}, {31, 1}, {32, 2}, {47, 2}, {48, -1}};
    for (const auto& h : hits)
        EXPECT_EQ(RowAtY(rows, h.y), h.row) << "y " << h.y;
    EXPECT_EQ(RowAtY({{5, 5}, {0, 10}}, 5), 1) << "an empty span holds nothing";

    EXPECT_TRUE(InCheckStrip(0, 13));
    EXPECT_TRUE(InCheckStrip(14, 13));
    EXPECT_FALSE(InCheckStrip(15, 13));
    EXPECT_FALSE(InCheckStrip(-1, 13));
}

TEST(Checklist, ItemDataDecidesToggleAndLook) {
    const struct {
        uintptr_t data, toggled;
        bool ticked;
        int look;
    } cases[] = {
        {0, 1, false, 0}, {1, 0, true, 1},      {2, 2, true, 2},        {3, 3, true, 0},
        {4, 5, true, 0},  {0x100, 1, false, 0}, {0x1FF, 0xFF, true, 0}, {6, 6, true, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.data);
        EXPECT_EQ(ToggledItemData(c.data), c.toggled);
        EXPECT_EQ(IsTicked(c.data), c.ticked);
        EXPECT_EQ(RowDrawState(c.data), c.look);
    }
}

TEST(Transparency, EachFormAnswersPerClass) {
    using PB = ParentBackground;
    constexpr auto Hollow = CtlColorAnswer::HollowBrush;
    constexpr auto Pass = CtlColorAnswer::PassOn;
    const struct {
        CtlColorForm form;
        CtlColorQuery query;
        CtlColorPlan plan;
    } cases[] = {
        {CtlColorForm::GroupBox, {"Static", 0, true}, {true, PB::OfControlParent, Hollow}},
        {CtlColorForm::Tab, {"Static", 0, true}, {true, PB::OfControl, Hollow}},
        {CtlColorForm::GroupBox, {"STATIC", 0, true}, {false, PB::None, Pass}},
        {CtlColorForm::GroupBox, {"Button", 3}, {false, PB::OfControl, Hollow}},
        {CtlColorForm::Tab, {"Button", 3, false, true}, {false, PB::OfControl, Hollow}},
        {CtlColorForm::Page, {"Button", 3, false, false, true}, {false, PB::OfControl, Hollow}},
        {CtlColorForm::GroupBox, {"Button", 9}, {false, PB::OfControl, Hollow}},
        {CtlColorForm::GroupBox, {"Button", 7}, {false, PB::OfControl, Pass}},
        {CtlColorForm::Page, {"Button", 7}, {false, PB::None, Hollow}},
        {CtlColorForm::Tab, {"msctls_trackbar32"}, {false, PB::OfControl, Hollow}},
        {CtlColorForm::Page, {"Edit"}, {false, PB::None, Pass}},
    };
    for (const auto& c : cases) {
        const CtlColorPlan plan = PlanCtlColor(c.form, c.query);
        EXPECT_EQ(std::make_tuple(plan.transparentText, plan.background, plan.answer),
                  std::make_tuple(c.plan.transparentText, c.plan.background, c.plan.answer))
            << c.query.className << " type " << c.query.buttonType << " form " << static_cast<int>(c.form);
    }
}

std::string Text(const PageSet::Change& change) {
    std::string text = "hide";
    for (WindowRef w : change.hide)
        text += " " + std::to_string(w);
    text += " show";
    for (WindowRef w : change.show)
        text += " " + std::to_string(w);
    return text;
}

TEST(TabPages, OnlyTheCurrentPageIsShown) {
    PageSet pages;
    EXPECT_EQ(pages.CurrentPage(), -1);
    EXPECT_EQ(std::make_pair(pages.AddPage(), pages.AddPage()), std::make_pair(0, 1));
    EXPECT_TRUE(pages.AddWindow(0, 10) && pages.AddWindow(1, 20)) << "no page is current yet";
    EXPECT_FALSE(pages.AddWindow(-1, 30) || pages.AddWindow(2, 30)) << "no such pages";
    EXPECT_EQ(Text(pages.Select(0)), "hide show 10");
    EXPECT_FALSE(pages.AddWindow(0, 11)) << "the current page's windows stay visible";
    EXPECT_EQ(Text(pages.Select(0)), "hide 10 11 show 10 11");
    EXPECT_EQ(Text(pages.Select(1)), "hide 10 11 show 20");
    EXPECT_EQ(Text(pages.Select(-1)) + Text(pages.Select(2)), "hide showhide show");
    EXPECT_EQ(pages.CurrentPage(), 1);
}

TEST(TabPages, CtrlTabAndCtrlPageKeysWrapAroundThePages) {
    constexpr unsigned kTab = 0x09, kPageUp = 0x21, kPageDown = 0x22, kLetter = 'A';
    const struct {
        unsigned key;
        bool ctrl, shift;
        int current, page;
    } cases[] = {
        {kTab, true, false, 0, 1},      {kTab, true, false, 2, 0},      {kTab, true, true, 0, 2},
        {kPageDown, true, false, 1, 2}, {kPageDown, true, true, 2, 0},  {kPageUp, true, false, 0, 2},
        {kTab, false, false, 0, -1},    {kPageUp, false, false, 1, -1}, {kLetter, true, false, 0, -1},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PageForKey(c.key, c.ctrl, c.shift, c.current, 3), c.page) << c.key << c.ctrl << c.shift << c.current;
    EXPECT_EQ(PageForKey(kTab, true, false, 0, 0), -1);
}

TEST(TabPages, RegistryHoldsSixAndFindsByParent) {
    TabRegistry tabs;
    std::vector<WindowRef> painted;
    for (WindowRef tab = 1; tab <= 6; ++tab)
        tabs.Add(tab, [&](WindowRef t) { painted.push_back(t); });
    try {
        tabs.Add(7, nullptr);
        FAIL() << "a seventh tab control was registered";
    } catch (const Exception& e) {
        EXPECT_EQ(e.Message(), "TheTab_Last= 5");
    }
    EXPECT_FALSE(tabs.Contains(7));
    const auto parentOf = [](WindowRef w) -> WindowRef { return w <= 6 ? 100 + w % 2 : 0; };
    const auto captionOf = [](WindowRef) -> std::string { return "Page"; };
    tabs.Painted(3, parentOf, captionOf);
    tabs.Painted(101, parentOf, captionOf);  // first tab whose parent is 101: 1
    tabs.Painted(100, parentOf, captionOf);  // 2
    EXPECT_EQ(painted, (std::vector<WindowRef>{3, 1, 2}));
    EXPECT_THROW(tabs.Painted(55, parentOf, captionOf), Exception);
    tabs.Remove(1);
    EXPECT_NO_THROW(tabs.Add(7, nullptr)) << "a destroyed tab control frees its place";
}

}  // namespace
