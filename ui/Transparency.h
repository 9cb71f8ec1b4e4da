// How a themed group box, tab control or page answers WM_CTLCOLORSTATIC (and, in the group box,
// WM_CTLCOLOREDIT) for one of its children, so that texts, check boxes and trackbars show the
// themed background beneath them. No Windows headers: built natively too.
#pragma once

#include <string_view>

enum class CtlColorForm { GroupBox, Tab, Page };

// What the asking control is. `buttonType` is the low four bits of a "Button"'s style.
struct CtlColorQuery {
    std::string_view className;  // compared exactly, case included
    unsigned buttonType = 0;
    bool usesGuiFont = false;   // the control's font is the toolkit's GUI font
    bool parentIsTab = false;   // the control's parent is a registered tab control
    bool parentIsPage = false;  // the control's parent is a toolkit page
};

enum class ParentBackground {
    None,
    OfControl,        // DrawThemeParentBackground(control)
    OfControlParent,  // DrawThemeParentBackground(parent of the control)
};

enum class CtlColorAnswer {
    PassOn,       // the base procedure answers (after the background, if any, is drawn)
    HollowBrush,  // the stock NULL_BRUSH is the answer
};

struct CtlColorPlan {
    bool transparentText = false;
    ParentBackground background = ParentBackground::None;
    CtlColorAnswer answer = CtlColorAnswer::PassOn;
};

CtlColorPlan PlanCtlColor(CtlColorForm form, const CtlColorQuery& query);
