// The tab control with its pages. Pages are siblings of the tab control lying over its display
// area; the controls of a tab are children of its page, and only the current page's windows show.
// Owners learn that a tab or one of its pages was painted through the callback they register.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "ui/TabPages.h"

using TabPaintCallback = std::function<void(HWND tab)>;

// A tab control entered in the process's tab list; raises "TheTab_Last= 5" when six are alive, the
// control then existing unregistered and hidden. Null when it cannot be made.
HWND CreateTabControl(HWND parent,
                      int id,
                      const char* text,
                      int x,
                      int y,
                      int width,
                      int height,
                      TabPaintCallback paintCallback);
bool IsRegisteredTab(HWND hwnd);
// Calls the paint callback of `hwnd` if it is a tab control, else of the first tab control whose
// parent it is; raises "can't find TheTab, H=…" when it is neither.
void TabPainted(HWND hwnd);

// A page window (class "Tallowen TPage") at pixel coordinates, one pixel narrower and lower.
HWND CreatePage(HWND parent, int id, int x, int y, int width, int height);
bool IsPageWindow(HWND hwnd);

class TmyTabControl {
public:
    explicit TmyTabControl(HWND tabWindow) : tabWindow_(tabWindow) {}
    // Adds a tab and its page over the tab control's display area; the page is hidden unless
    // current. Build the page's controls as its children.
    HWND AddPage(const std::string& caption);
    // `window` belongs to `page` and shows only while that page is current; other pages are ignored.
    void AddPageWindow(int page, HWND window);
    void SelectPage(int page);
    // Shows the page of the tab control's selected tab.
    void ShowSelectedPage();

    int CurrentPage() const { return pages_.CurrentPage(); }
    int LastPage() const { return pages_.LastPage(); }
    HWND TabWindow() const { return tabWindow_; }

private:
    HWND tabWindow_;
    PageSet pages_;
};
