// Control factories and the toolkit state they share: the screen's DPI, the GUI font, the focus
// registry, tooltips, the busy cursor and the subclass procedures of edit boxes, buttons, combo
// boxes and group boxes. Layout arguments are in 1/96 inch unless a factory says otherwise;
// factories return the new control, or null when it could not be made.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "ui/ControlKinds.h"

// The screen's vertical DPI, read once; layout values in pixels of this screen and back.
int ScreenDpi();
int ScaleDpi(int value);
int UnscaleDpi(int value);

void LoadGuiFont();
HFONT GuiFont();
// Every title-label font made so far is deleted; call when the window is gone.
void FreeToolkitFonts();
// The pen of the flat check-box border, made on first use and kept for the process.
HPEN ShadowPen();

// While set, buttons, tabs, pages and owners that ask ApplyOverrideCursor show this cursor.
void SetOverrideCursor(HCURSOR cursor);
// SetCursor with the override cursor when one is set; true when it was.
bool ApplyOverrideCursor();

// The window text of `hwnd`, however long.
std::string ControlText(HWND hwnd);
// Width of `text` in the GUI font in pixels; 0 when it cannot be measured.
int TextWidth(const std::string& text);

// The focus registry: controls by id, the last registration of an id winning.
void RegisterControl(int id, HWND control);
// Null for an id that was never registered.
HWND RegisteredControl(int id);
void FocusControl(int id);
void RestoreFocus();
void ResetControls();
// Hands WM_DRAWITEM to the control registered under its id; owners of checklists call it.
LRESULT RelayDrawItem(WPARAM wParam, LPARAM lParam);

// Registers the common-control classes, looked up at run time.
void InitCommonControlClasses(DWORD classes);

// The one tooltip window, owned by `owner`; null when it cannot be made. A previous one is destroyed.
HWND CreateToolTips(HWND owner);
void DestroyToolTips();
// False without a tooltip window. A control disabled at this point keeps its tip while disabled.
bool AddToolTip(HWND control, const char* text);

HWND CreateEditBox(HWND parent, int id, const char* text, int x, int y, int width, int height);
HWND CreateLabel(HWND parent, int id, const char* text, int x, int y, int width, int height);
// Courier New, 30 pixels high, weight 600, instead of the GUI font.
HWND CreateTitleLabel(HWND parent, int id, const char* text, int x, int y, int width, int height);
HWND CreateButton(HWND parent, int id, const char* text, int x, int y, int width, int height);
HWND CreateCheckBox(HWND parent, int id, const char* text, int x, int y, int width, int height);
// Relays commands, notifications, scrolls and owner drawing of its children to its parent.
HWND CreateGroupBox(HWND parent, int id, const char* text, int x, int y, int width, int height);
HWND CreateComboBox(HWND parent, int id, const char* text, int x, int y, int width, int height);
// A window of a class of its own ("Timage1_PR1", "Timage1_PR2", …) with `windowProc`; the size is
// the pixel size of the picture it shows, and the window is one pixel narrower and lower.
HWND CreateImage(HWND parent, int id, int x, int y, int width, int height, WNDPROC windowProc);

// An up-down control at pixel coordinates that the system moves to the right edge of `buddy` and
// that writes its position there; range and position as given (the position clamped).
HWND CreateUpDown(HWND parent,
                  int id,
                  int x,
                  int y,
                  int width,
                  int height,
                  HWND buddy,
                  int lower,
                  int upper,
                  int position);
// Sets the position, clamped to the control's range.
void SetUpDownPos(HWND upDown, int64_t value);

// For the toolkit's own factories: the window of a control of `kind` at pixel coordinates, not yet
// shown; null when it cannot be made.
HWND CreateControlWindow(ControlKind kind,
                         HWND parent,
                         int id,
                         const char* text,
                         const RECT& pixels,
                         const char* className = nullptr,
                         void* createParam = nullptr);
// Gives the control its font (the GUI font where the kind's table says, else `font`), shows it and
// registers it when the table says so.
void FinishControl(HWND control, ControlKind kind, int id, HFONT font = nullptr);
// Both of the above; null when the window cannot be made.
HWND MakeControl(ControlKind kind,
                 HWND parent,
                 int id,
                 const char* text,
                 const RECT& pixels,
                 const char* className = nullptr,
                 HFONT font = nullptr);
RECT ScaledRect(int x, int y, int width, int height);

// Subclassing with one saved base procedure per kind: every window of a kind shares a system class.
enum class SubclassKind { Edit, Button, Combo, Group, CheckList, Tab, Link, Count };
void Subclass(HWND control, SubclassKind kind, WNDPROC procedure);
LRESULT CallBase(SubclassKind kind, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
