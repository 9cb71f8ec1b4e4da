// What each control factory makes: system class, styles, fixed text, whether the control joins the
// focus registry and whether it gets the GUI font. No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <string>

enum class ControlKind {
    Edit,
    Tab,
    Label,
    TitleLabel,
    Button,
    CheckBox,
    GroupBox,
    CheckList,
    ComboBox,
    Image,
    Page,
    UpDown,
};

struct ControlSpec {
    const char* className;  // for Image, the prefix of a numbered class of its own
    uint32_t style;         // the factory shows the control once it is complete
    uint32_t exStyle;
    const char* fixedText;  // null: the caller's text
    bool registered;        // joins the focus registry
    bool guiFont;           // gets the GUI font at creation
};

const ControlSpec& SpecOf(ControlKind kind);

// "Timage1_PR" followed by the image's serial number.
std::string ImageClassName(int serial);

// An up-down position within the control's range, either end first: the control's messages carry
// 16 or 32 bits, and a value beyond them would wrap instead of stopping at the end.
int ClampToRange(int64_t value, int lower, int upper);
