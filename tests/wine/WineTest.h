// Helpers for the tests that run under Wine: fresh folders, the build's own programs, child runs.
#pragma once

#include <windows.h>

#include "app/Handles.h"

#include <functional>
#include <string>
#include <vector>

// The folder that holds the test program, vantora.scr and the fixtures.
std::string BinFolder();

// A fresh, empty folder under the temporary folder, removed with everything in it at scope exit.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;
    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

void RemoveTree(const std::string& path);
// The names FindFirstFileA finds for `pattern` (a path, or a folder with a wildcard).
std::vector<std::string> NamesMatching(const std::string& pattern);
std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

// Starts `commandLine`; an empty owner when it could not start. A child still running when its owner
// goes is ended.
UniqueChildProcess StartProcess(const std::string& commandLine);

// Starts `commandLine` and waits up to `timeoutMs`; the exit code, or -1 when it did not end (the
// process is then terminated).
int RunAndWait(const std::string& commandLine, DWORD timeoutMs = 20000);

// Runs this thread's messages until `done` holds or `timeoutMs` passes; `done`'s last answer. Windows of
// other processes that are children or owned windows of ours send us messages, so waiting must pump.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 20000);
// Clicks at `x`, `y` of `hwnd`'s client area (of the screen when null) as real input, with the
// right button when `right`.
void ClickAt(HWND hwnd, int x, int y, bool right = false);
// Presses and releases `key` as real input.
void PressKey(WORD key);
// Moves the real pointer to (x, y) on the primary screen, as a user's hand would.
void MovePointerTo(int x, int y);
// Asks every fixture screensaver window to close, as Windows does, and waits until none is left.
void CloseFixtures();

// A 300x200 top-level window of `className`, registered with `proc` on first use.
HWND MakeTestWindow(const char* className,
                    const char* title,
                    WNDPROC proc = DefWindowProcA,
                    DWORD style = WS_OVERLAPPEDWINDOW | WS_VISIBLE);

// The text of a registry value, or "(none)" when it is missing.
std::string RegText(HKEY root, const std::string& path, const char* name);
// Deletes HKCU\<path> and everything below it.
void DeleteRegistryTree(const std::string& path);

constexpr int kAnyId = -1;
// The first window below `root` (at any depth) with control id `id` (kAnyId: any) and, when
// `className` is given, of that class; null when there is none. Works across processes.
HWND FindDescendant(HWND root, int id, const char* className = nullptr);

// How many more GDI objects this process may make, found by making regions until Wine refuses
// (near 65,500; GetGuiResources answers 0 there): a leak shows as fewer free slots.
int FreeGdiSlots();
// How many more USER handles (windows, menus, cursors) the session may make, found by making menus
// until Wine refuses. The table is shared by every process of the Wine session.
int FreeUserSlots();
// The windows of the calling thread, top-level and children, counted without those of other
// threads that sit below them (a preview child of another process).
int ThreadWindows();
