#include "tests/wine/WineTest.h"

#include <fstream>
#include <sstream>

#include "app/Handles.h"
#include "app/Text.h"
#include "settings/SystemHelpers_win.h"

std::string BinFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string(ParentFolderOf(path));
}

TestFolder::TestFolder() {
    static int serial = 0;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path_ =
        std::string(temp) + "vantora-test-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

TestFolder::~TestFolder() { RemoveTree(path_); }

void RemoveTree(const std::string& path) {
    for (const std::string& name : NamesMatching(path + "\\*")) {
        const std::string full = path + "\\" + name;
        SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(full.c_str())) RemoveTree(full);  // a folder
    }
    RemoveDirectoryA(path.c_str());
}

std::vector<std::string> NamesMatching(const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    UniqueFind find(FindFirstFileA(pattern.c_str(), &data));
    for (BOOL more = static_cast<bool>(find); more; more = FindNextFileA(find.get(), &data)) {
        if (strcmp(data.cFileName, ".") != 0 && strcmp(data.cFileName, "..") != 0) names.push_back(data.cFileName);
    }
    return names;
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

UniqueChildProcess StartProcess(const std::string& commandLine) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string cmd = commandLine;
    if (!CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return {};
    CloseHandle(pi.hThread);
    return UniqueChildProcess(pi.hProcess, pi.dwProcessId);
}

int RunAndWait(const std::string& commandLine, DWORD timeoutMs) {
    UniqueChildProcess process = StartProcess(commandLine);
    if (!process) return -2;
    if (WaitForSingleObject(process.Handle(), timeoutMs) != WAIT_OBJECT_0) return -1;  // ended by the owner
    DWORD code = 0;
    GetExitCodeProcess(process.Handle(), &code);
    return static_cast<int>(code);
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount();; MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT)) {
        PumpMessages();
        if (done()) return true;
        if (GetTickCount() - start > timeoutMs) return false;
    }
}

void ClickAt(HWND hwnd, int x, int y, bool right) {
    POINT p = {x, y}, now = {};
    if (hwnd) ClientToScreen(hwnd, &p);
    SetCursorPos(p.x, p.y);
    PumpUntil([&] { return GetCursorPos(&now) && now.x == p.x && now.y == p.y; });
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_MOUSE;
    input[0].mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    input[1].mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    SendInput(2, input, sizeof(INPUT));
}

void PressKey(WORD key) {
    INPUT input[2] = {};
    for (INPUT& in : input)
        in.type = INPUT_KEYBOARD, in.ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

HWND MakeTestWindow(const char* className, const char* title, WNDPROC proc, DWORD style) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = className;
    RegisterClassA(&wc);
    return CreateWindowA(className, title, style, 0, 0, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
}

std::string RegText(HKEY root, const std::string& path, const char* name) {
    char text[1024] = {};
    DWORD size = sizeof text - 1;
    return RegGetValueA(root, path.c_str(), name, RRF_RT_ANY, nullptr, text, &size) == ERROR_SUCCESS ? text : "(none)";
}

void DeleteRegistryTree(const std::string& path) { RegDeleteTreeA(HKEY_CURRENT_USER, path.c_str()); }

namespace {

struct DescendantSearch {
    int id;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchDescendant(HWND hwnd, LPARAM lParam) {
    auto* search = reinterpret_cast<DescendantSearch*>(lParam);
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof name);
    if ((search->id != kAnyId && GetDlgCtrlID(hwnd) != search->id) ||
        (search->className && lstrcmpiA(name, search->className) != 0))
        return TRUE;
    search->found = hwnd;
    return FALSE;
}

}  // namespace

HWND FindDescendant(HWND root, int id, const char* className) {
    DescendantSearch search{id, className, nullptr};
    EnumChildWindows(root, MatchDescendant, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void MovePointerTo(int x, int y) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &input, sizeof input);
}

void CloseFixtures() {
    PumpUntil([] {
        const HWND window = FindWindowA("VantoraFixture", nullptr);
        return !window || (PostMessageA(window, WM_CLOSE, 0, 0), false);
    });
}

namespace {

// Makes objects until the system refuses (or 200,000 are made), frees them, and says how many were made.
template <class Make, class Free>
int FreeSlots(Make make, Free free) {
    std::vector<decltype(make())> made;
    for (auto object = make(); object; object = made.size() < 200000 ? make() : nullptr)
        made.push_back(object);
    for (auto object : made)
        free(object);
    return static_cast<int>(made.size());
}

}  // namespace

int FreeGdiSlots() {
    return FreeSlots([] { return CreateRectRgn(0, 0, 1, 1); }, [](HRGN region) { DeleteObject(region); });
}

int FreeUserSlots() { return FreeSlots(CreateMenu, DestroyMenu); }

namespace {

BOOL CALLBACK CountOwn(HWND hwnd, LPARAM counter) {
    if (GetWindowThreadProcessId(hwnd, nullptr) == GetCurrentThreadId()) ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

BOOL CALLBACK CountTree(HWND top, LPARAM counter) {
    EnumChildWindows(top, CountOwn, counter);
    return CountOwn(top, counter);
}

}  // namespace

int ThreadWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTree, reinterpret_cast<LPARAM>(&count));
    return count;
}
