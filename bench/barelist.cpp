// The baseline of the settings-window benchmark: a program that shows a window holding a list box
// of 1,000 rows and nothing else, then runs until it is closed.
#include <windows.h>

#include <cstdio>

namespace {

constexpr int kRows = 1000;

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "BareList";
    RegisterClassA(&wc);
    const HWND window = CreateWindowExA(0, wc.lpszClassName, "Bare list", WS_CAPTION | WS_SYSMENU, 100, 100, 609, 466,
                                        nullptr, nullptr, instance, nullptr);
    const HWND list = CreateWindowExA(WS_EX_CLIENTEDGE, "LISTBOX", nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL, 10, 10,
                                      190, 332, window, nullptr, instance, nullptr);
    for (int i = 0; i < kRows; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "Bench saver %04d", i);
        SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    ShowWindow(window, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
