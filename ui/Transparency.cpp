#include "ui/Transparency.h"

namespace {

constexpr unsigned kAutoCheckBox = 3;
constexpr unsigned kGroupBox = 7;
constexpr unsigned kAutoRadioButton = 9;

CtlColorPlan Hollow(ParentBackground background = ParentBackground::None) {
    return {false, background, CtlColorAnswer::HollowBrush};
}

// A button's background may come from the parent only when the parent can draw it: in a group box
// always, on a tab or page only when the button sits directly on it.
CtlColorPlan PlanButton(CtlColorForm form, const CtlColorQuery& query) {
    const bool onGroupBox = form == CtlColorForm::GroupBox;
    switch (query.buttonType) {
        case kAutoCheckBox: {
            const bool direct = onGroupBox || (form == CtlColorForm::Tab ? query.parentIsTab : query.parentIsPage);
            return Hollow(direct ? ParentBackground::OfControl : ParentBackground::None);
        }
        case kAutoRadioButton:
            return Hollow(onGroupBox ? ParentBackground::OfControl : ParentBackground::None);
        case kGroupBox:
            if (form == CtlColorForm::Page) return Hollow();
            return {false, onGroupBox ? ParentBackground::OfControl : ParentBackground::None, CtlColorAnswer::PassOn};
        default:
            return Hollow();
    }
}

}  // namespace

CtlColorPlan PlanCtlColor(CtlColorForm form, const CtlColorQuery& query) {
    if (query.className == "Static") {
        // Only texts in the GUI font sit on the themed body; the title label keeps its own look.
        ParentBackground background = ParentBackground::None;
        if (query.usesGuiFont)
            background =
                form == CtlColorForm::GroupBox ? ParentBackground::OfControlParent : ParentBackground::OfControl;
        return {true, background, CtlColorAnswer::HollowBrush};
    }
    if (query.className == "Button") return PlanButton(form, query);
    if (query.className == "msctls_trackbar32") return Hollow(ParentBackground::OfControl);
    return {};
}
