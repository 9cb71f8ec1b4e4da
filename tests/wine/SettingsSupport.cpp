#include "tests/wine/SettingsSupport.h"

#include <gtest/gtest.h>

#include "app/Handles.h"
#include "tests/wine/WineTest.h"

const char kInstallKeyPath[] = "Software\\Kestrella\\Vantora";

namespace {

std::string FreshTempFile(const char* prefix) {
    char folder[MAX_PATH] = {};
    char name[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, folder);
    GetTempFileNameA(folder, prefix, 0, name);
    DeleteFileA(name);
    return name;
}

void SetDefaultValue(HKEY root, const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return;
    }
    RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                   static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
}

std::string ChildReportPath() {
    char path[MAX_PATH] = {};
    GetEnvironmentVariableA("VANTORA_CHILD_OUT", path, MAX_PATH);
    return path;
}

}  // namespace

void SetInstallPath(const std::string& folder) {
    if (folder.empty()) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kInstallKeyPath);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKeyPath);
        return;
    }
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kInstallKeyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>(folder.size() + 1));
    RegCloseKey(key);
}

UrlLog::UrlLog() : path_(FreshTempFile("url")) {
    const std::string command = "\"" + BinFolder() + "\\urllog.exe\" \"%1\"";
    for (const char* kind : {"http", "https", "htmlfile"}) {
        SetDefaultValue(HKEY_CLASSES_ROOT, std::string(kind) + "\\shell\\open\\command", command);
        SetDefaultValue(HKEY_CURRENT_USER, std::string("Software\\Classes\\") + kind + "\\shell\\open\\command",
                        command);
    }
    SetEnvironmentVariableA("VANTORA_URLLOG", path_.c_str());
}

UrlLog::~UrlLog() {
    SetEnvironmentVariableA("VANTORA_URLLOG", nullptr);
    DeleteFileA(path_.c_str());
}

std::vector<std::string> UrlLog::Lines() const {
    std::vector<std::string> opened;
    for (std::string line : SplitLines(ReadWholeFile(path_))) {
        // The program's own quoted path comes first, then the argument, quoted too.
        const size_t programEnd = line[0] == '"' ? line.find('"', 1) : line.find(' ');
        std::string argument = programEnd == std::string::npos ? "" : line.substr(programEnd + 1);
        while (!argument.empty() && argument.front() == ' ')
            argument.erase(0, 1);
        if (argument.size() >= 2 && argument.front() == '"' && argument.back() == '"') {
            argument = argument.substr(1, argument.size() - 2);
        }
        opened.push_back(argument);
    }
    return opened;
}

std::vector<std::string> UrlLog::WaitForLines(size_t count, DWORD timeoutMs) const {
    const DWORD start = GetTickCount();
    std::vector<std::string> lines = Lines();
    while (lines.size() < count && GetTickCount() - start < timeoutMs) {
        Sleep(50);
        lines = Lines();
    }
    return lines;
}

namespace {

// The text is the one static control that carries text (the icon's static has none).
std::string MessageBoxText(HWND box) {
    std::string found;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {};
        GetClassNameA(child, className, sizeof className);
        char text[1024] = {};
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(className, "Static") == 0 && text[0]) found = text;
    }
    return found;
}

}  // namespace

MessageBoxSeen AnswerMessageBox(DWORD timeoutMs) {
    MessageBoxSeen seen;
    HWND box = nullptr;
    // The box exists before it has its controls and text: wait until it is shown.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20)) {
        box = FindWindowA("#32770", "Vantora");
        if (box && IsWindowVisible(box) && !MessageBoxText(box).empty()) break;
    }
    if (!box) return seen;
    seen.found = true;
    seen.text = MessageBoxText(box);
    PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
    return seen;
}

std::vector<std::string> RunChildTest(const std::string& name, const std::function<void()>& whileRunning) {
    const std::string report = FreshTempFile("chd");
    SetEnvironmentVariableA("VANTORA_CHILD_OUT", report.c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=" + name;
    // The child's own test output would read like ours: it goes nowhere.
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    UniqueFile nowhere(CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit,
                                   OPEN_EXISTING, 0, nullptr));
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nowhere.get();
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start " << command;
        return {};
    }
    UniqueHandle processHandle(process.hProcess);
    UniqueHandle thread(process.hThread);
    if (whileRunning) whileRunning();
    if (WaitForSingleObject(processHandle.get(), 30000) != WAIT_OBJECT_0) {
        TerminateProcess(processHandle.get(), 1);
        ADD_FAILURE() << name << " did not end";
    }
    DWORD code = 0;
    GetExitCodeProcess(processHandle.get(), &code);
    EXPECT_EQ(code, 0u) << name;
    SetEnvironmentVariableA("VANTORA_CHILD_OUT", nullptr);
    std::vector<std::string> lines = SplitLines(ReadWholeFile(report));
    DeleteFileA(report.c_str());
    return lines;
}

void ChildReport(const std::string& line) {
    const std::string path = ChildReportPath();
    ASSERT_FALSE(path.empty()) << "run only as a child test";
    std::string text = ReadWholeFile(path) + line + "\n";
    WriteWholeFile(path, text);
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}
