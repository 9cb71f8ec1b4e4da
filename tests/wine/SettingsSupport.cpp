#include "tests/wine/SettingsSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"

void SetInstallPath(const std::string& folder) {
    if (folder.empty()) {
        RegDeleteTreeA(HKEY_LOCAL_MACHINE, kInstallKey);
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, kInstallKey);
        return;
    }
    TRegistry reg(KEY_ALL_ACCESS, HKEY_LOCAL_MACHINE);
    ASSERT_TRUE(reg.OpenKey(kInstallKey, true));
    reg.WriteString("Path", folder);
}

UrlLog::UrlLog() {
    const std::string command = "\"" + BinFolder() + "\\urllog.exe\" \"%1\"";
    for (const std::string kind : {"http", "https", "htmlfile"}) {
        TRegistry classes(KEY_ALL_ACCESS, HKEY_CLASSES_ROOT);
        if (classes.OpenKey("\\" + kind + "\\shell\\open\\command", true)) classes.WriteString("", command);
        TRegistry user;
        if (user.OpenKey("\\Software\\Classes\\" + kind + "\\shell\\open\\command", true))
            user.WriteString("", command);
    }
    SetEnvironmentVariableA("VANTORA_URLLOG", (folder_ / "urls.log").c_str());
}

UrlLog::~UrlLog() { SetEnvironmentVariableA("VANTORA_URLLOG", nullptr); }

std::vector<std::string> UrlLog::Lines() const {
    std::vector<std::string> opened;
    for (std::string line : SplitLines(ReadWholeFile(folder_ / "urls.log"))) {
        // urllog's own quoted path, then the argument, quoted too.
        line.erase(0, line.find('"', 1) + 1);
        line.erase(0, line.find_first_not_of(" \""));
        if (!line.empty() && line.back() == '"') line.pop_back();
        opened.push_back(line);
    }
    return opened;
}

std::vector<std::string> UrlLog::WaitForLines(size_t count, DWORD timeoutMs) const {
    std::vector<std::string> lines = Lines();
    for (const DWORD start = GetTickCount(); lines.size() < count && GetTickCount() - start < timeoutMs; Sleep(50))
        lines = Lines();
    return lines;
}

// The text is the one static control that carries text (the icon's static has none).
static std::string MessageBoxText(HWND box) {
    std::string found;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64] = {}, text[1024] = {};
        GetClassNameA(child, className, sizeof className);
        GetWindowTextA(child, text, sizeof text);
        if (lstrcmpiA(className, "Static") == 0 && text[0]) found = text;
    }
    return found;
}

MessageBoxSeen AnswerMessageBox(DWORD timeoutMs) {
    // The box exists before it has its controls and text: wait until it is shown.
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs; Sleep(20)) {
        const HWND box = FindWindowA("#32770", "Vantora");
        if (!box || !IsWindowVisible(box) || MessageBoxText(box).empty()) continue;
        const MessageBoxSeen seen{true, MessageBoxText(box)};
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(box, IDOK)));
        return seen;
    }
    return {};
}

std::vector<std::string> RunChildTest(const std::string& name, const std::function<void()>& meanwhile) {
    TestFolder folder;
    SetEnvironmentVariableA("VANTORA_CHILD_OUT", (folder / "report").c_str());
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::thread helper(meanwhile);
    EXPECT_EQ(RunAndWait(std::string("\"") + self + "\" --gtest_also_run_disabled_tests --gtest_filter=" + name, 30000),
              0)
        << name;
    helper.join();
    SetEnvironmentVariableA("VANTORA_CHILD_OUT", nullptr);
    return SplitLines(ReadWholeFile(folder / "report"));
}

void ChildReport(const std::string& line) {
    char path[MAX_PATH] = {};
    ASSERT_NE(GetEnvironmentVariableA("VANTORA_CHILD_OUT", path, MAX_PATH), 0u) << "run only as a child test";
    std::ofstream(path, std::ios::app) << line << "\n";
}

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}
