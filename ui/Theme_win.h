// The visual-styles layer. Themed drawing is on only when uxtheme offers every entry point the
// toolkit draws with and both the application and the system are themed; otherwise every control
// draws the classic way and no uxtheme entry is called.
#pragma once

#include <windows.h>

#include "ui/Transparency.h"

// Settles ThemeActive for the window about to be built; true when themed.
bool LoadThemeApi();
// Themed drawing off until the next LoadThemeApi.
void UnloadThemeApi();
bool ThemeActive();

// The themed background of `control`'s parent behind `control`; false when unthemed or failed.
bool DrawParentBackground(HWND control, HDC hdc);
// Draws `part` in `state` of the theme class "Button" for `window` into `box`; false when unthemed
// or the theme could not be opened, so the caller draws the classic way.
bool DrawButtonPart(HWND window, HDC hdc, int part, int state, const RECT& box);

// The transparency rule for WM_CTLCOLORSTATIC/WM_CTLCOLOREDIT of `control` while themed: true
// with the brush in `result` when the asking window answers itself, false when its base procedure
// must answer (after any background the rule asks for has been drawn).
bool AnswerCtlColor(CtlColorForm form, HWND control, HDC hdc, LRESULT& result);
