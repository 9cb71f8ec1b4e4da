#include <gtest/gtest.h>

#include "ui/Checklist.h"
#include "ui/ControlKinds.h"
#include "ui/Dpi.h"
#include "ui/TabPages.h"
#include "ui/Transparency.h"

namespace {

TEST(Dpi, RoundsTiesToEvenBothWays) {
    const struct {
        int value, dpi, scaled;
    } cases[] = {{583, 120, 729}, {10, 120, 12}, {-10, 120, -12}, {-1, 144, -2}, {5, 0, 5}, {1 << 24, 192, 1 << 25}};
    for (const auto& c : cases) {
        EXPECT_EQ(ScaleDpi(c.value, c.dpi), c.scaled) << c.value << " at " << c.dpi;
        if (c.dpi == 120) EXPECT_EQ(UnscaleDpi(c.scaled, c.dpi), c.value) << c.value;
    }
    EXPECT_EQ(UnscaleDpi(3, 192), 2);  // 1.5 -> 2
    EXPECT_EQ(UnscaleDpi(5, 192), 2);  // 2.5 -> 2
    EXPECT_EQ(UnscaleDpi(-5, 192), -2);
}

TEST(Dpi, UpDownValuesStopAtTheRangeEnds) {
    const struct {
        int64_t value;
        int lower, upper, clamped;
    } cases[] = {{65536 + 7, 1, 10000, 10000}, {-1, 10, 0, 0}, {INT64_MIN, -3, 3, -3}};
    for (const auto& c : cases)
        EXPECT_EQ(ClampToRange(c.value, c.lower, c.upper), c.clamped) << c.value;
}

TEST(Checklist, ItemDataDecidesToggleAndLook) {
    const struct {
        uintptr_t data, toggled;
        bool ticked;
        int look;
    } cases[] = {{0, 1, false, 0}, {1, 0, true, 1}, {2, 2, true, 2}, {4, 5, true, 0}, {0x100, 1, false, 0}};
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
    } cases[] = {{CtlColorForm::GroupBox, {"Static", 0, true}, {true, PB::OfControlParent, Hollow}},
                 {CtlColorForm::Tab, {"Static", 0, true}, {true, PB::OfControl, Hollow}},
                 {CtlColorForm::Page, {"Button", 3, false, false, true}, {false, PB::OfControl, Hollow}},
                 {CtlColorForm::GroupBox, {"Button", 7}, {false, PB::OfControl, Pass}},
                 {CtlColorForm::Page, {"Edit"}, {false, PB::None, Pass}}};
    for (const auto& c : cases) {
        const CtlColorPlan plan = PlanCtlColor(c.form, c.query);
        EXPECT_EQ(std::make_tuple(plan.transparentText, plan.background, plan.answer),
                  std::make_tuple(c.plan.transparentText, c.plan.background, c.plan.answer))
            << c.query.className << " type " << c.query.buttonType << " form " << static_cast<int>(c.form);
    }
}

TEST(TabPages, CtrlTabAndCtrlPageKeysWrapAroundThePages) {
    constexpr unsigned kTab = 0x09, kPageUp = 0x21, kPageDown = 0x22, kLetter = 'A';
    const struct {
        unsigned key;
        bool ctrl, shift;
        int current, page;
    } cases[] = {{kTab, true, false, 2, 0},     {kTab, true, true, 0, 2},     {kPageDown, true, false, 1, 2},
                 {kPageDown, true, true, 2, 0}, {kPageUp, true, false, 0, 2}, {kPageUp, false, false, 1, -1},
                 {kLetter, true, false, 0, -1}};
    for (const auto& c : cases)
        EXPECT_EQ(PageForKey(c.key, c.ctrl, c.shift, c.current, 3), c.page) << c.key << c.ctrl << c.shift << c.current;
    EXPECT_EQ(PageForKey(kTab, true, false, 0, 0), -1);
}

// Each settings window adds its links; one built again in the same process must still open them.
TEST(LinkTargets, AnAddressAddedAgainKeepsItsEntrySoTheTableNeverFills) {
    LinkTargetTable table;
    for (int i = 0; i < 2 * LinkTargetTable::kMaxLinkTargets; ++i)
        ASSERT_EQ(table.Add(i % 2 ? "https://b/" : "https://a/"), 1 + i % 2);
    EXPECT_EQ(table.TargetFor(2, "caption"), "https://b/");
}

}  // namespace
