// The failure hooks and the bug report, end to end: crashprobe.exe (which links the diagnostics)
// and vantora.scr fail for real, and the tests read the report, the URL log and the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <map>
#include <regex>
#include <thread>

#include "app/Text.h"
#include "diag/Report_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

using Symbols = std::map<std::string, uint64_t>;

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && AsciiLower(text.substr(text.size() - tail.size())) == AsciiLower(tail);
}

std::vector<std::string> ReportsIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA((folder + "\\BugReport*.html").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return names;
}

// The page's lines, split at CR LF only.
std::vector<std::string> PageLines(const std::string& page) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end = page.find("\r\n"); end != std::string::npos; end = page.find("\r\n", start)) {
        lines.push_back(page.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// The rest of the first line that starts with `label`; "<missing>" when none does.
std::string Field(const std::vector<std::string>& lines, const std::string& label) {
    for (const std::string& line : lines) {
        if (line.compare(0, label.size(), label) == 0) return line.substr(label.size());
    }
    return "<missing>";
}

size_t IndexOf(const std::vector<std::string>& lines, const std::string& label) {
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].compare(0, label.size(), label) == 0) return i;
    }
    return lines.size();
}

uint64_t Hex(const std::string& text) { return std::stoull(text, nullptr, 16); }

bool Within(uint64_t address, uint64_t functionStart, uint64_t size = 0x100) {
    return address >= functionStart && address < functionStart + size;
}

#ifdef _WIN64
const char* const kRegisterNames[] = {"RAX", "RBX", "RCX", "RDX", "RSI", "RDI", "RBP", "RSP"};
#else
const char* const kRegisterNames[] = {"EAX", "EBX", "ECX", "EDX", "ESI", "EDI", "EBP", "ESP"};
#endif

std::string HexAddress() { return "[0-9A-F]{" + std::to_string(sizeof(void*) * 2) + "}"; }

// The register line with the stack pointer's digits as its one group.
std::regex RegisterLinePattern() {
    std::string pattern;
    for (const char* name : kRegisterNames) {
        const bool last = std::string(name).substr(1) == "SP";
        pattern +=
            (pattern.empty() ? "" : " ") + std::string(name) + "=" + (last ? "(" + HexAddress() + ")" : HexAddress());
    }
    return std::regex(pattern);
}

std::string ZeroRegisterLine() {
    std::string line;
    for (const char* name : kRegisterNames)
        line += (line.empty() ? "" : " ") + std::string(name) + "=" + std::string(sizeof(void*) * 2, '0');
    return line;
}

class BugReport : public ::testing::Test {
protected:
    void SetUp() override {
        // Wine's prefix has no .html extension entry; without one explorer.exe keeps a window open
        // instead of handing the page to the browser.
        HKEY key = nullptr;
        RegCreateKeyExA(HKEY_CLASSES_ROOT, ".html", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("htmlfile"), 9);
        RegCloseKey(key);

        appData = AppDataFolder();
        ASSERT_FALSE(appData.empty());
        dataFolder = appData + "\\Vantora";
        RemoveTree(dataFolder);
        RemoveTree(appData + "\\Vantora_Data");
        CreateDirectoryA(dataFolder.c_str(), nullptr);
        WriteSettingString("pathind", "1");
        DeleteSetting("pathdata");
    }
    void TearDown() override {
        RemoveTree(dataFolder);
        RemoveTree(appData + "\\Vantora_Data");
        DeleteSetting("pathind");
        DeleteSetting("pathdata");
    }

    struct ProbeRun {
        int exitCode = -1;
        DWORD processId = 0;
        DWORD elapsedMs = 0;
    };

    ProbeRun RunProbeMeasured(const std::string& action, uint32_t appMode) {
        const std::string info = scratch / (action + ".txt");
        std::string command =
            "\"" + BinFolder() + "\\crashprobe.exe\" " + action + " " + std::to_string(appMode) + " \"" + info + "\"";
        ProbeRun run;
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process)) {
            ADD_FAILURE() << "cannot start " << command;
            return run;
        }
        const DWORD start = GetTickCount();
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0) {
            DWORD code = 0;
            GetExitCodeProcess(process.hProcess, &code);
            run.exitCode = static_cast<int>(code);
        } else {
            TerminateProcess(process.hProcess, 1);
        }
        run.elapsedMs = GetTickCount() - start;
        run.processId = process.dwProcessId;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        for (const std::string& line : SplitLines(ReadWholeFile(info))) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos) symbols[line.substr(0, equals)] = Hex(line.substr(equals + 1));
        }
        return run;
    }

    int RunProbe(const std::string& action, uint32_t appMode) { return RunProbeMeasured(action, appMode).exitCode; }

    // The one report in the data folder, line by line.
    std::vector<std::string> OnlyReport() {
        const std::vector<std::string> names = ReportsIn(dataFolder);
        EXPECT_EQ(names.size(), 1u);
        if (names.empty()) return {};
        EXPECT_EQ(names[0], "BugReport.html");
        return PageLines(ReadWholeFile(dataFolder + "\\" + names[0]));
    }

    // Opens through the shell: the report page, and the error page notices.
    std::vector<std::string> Opened(size_t atLeast) { return urls.WaitForLines(atLeast); }

    UrlLog urls;
    TestFolder scratch;
    std::string appData;
    std::string dataFolder;
    Symbols symbols;
};

TEST_F(BugReport, AnAccessViolationInsideAGuardIsReportedWithTheFaultState) {
    EXPECT_EQ(RunProbe("fault", 0), 217);
    const std::vector<std::string> lines = OnlyReport();
    ASSERT_FALSE(lines.empty());
    const std::string digits = std::to_string(sizeof(void*) * 2);
    const std::string zero(sizeof(void*) * 2, '0');

    EXPECT_EQ(Field(lines, "Exception class: "), "EAccessViolation");
    EXPECT_TRUE(std::regex_match(Field(lines, "Exception: "), std::regex("Access violation at address [0-9A-F]{" +
                                                                         digits + "}\\. Read of address " + zero)))
        << Field(lines, "Exception: ");
    EXPECT_TRUE(Within(Hex(Field(lines, "Exception address: ")), symbols["ReadThrough"], 0x40))
        << "the fault's own address";
    EXPECT_EQ(Field(lines, "App mode: "), "32");
    EXPECT_EQ(Field(lines, "ExceptionInfo: "), "Error when read from " + zero);

    // Registers of the fault, not zeros.
    const std::string registers = lines[IndexOf(lines, "Registers:") + 1];
    std::smatch m;
    ASSERT_TRUE(std::regex_match(registers, m, RegisterLinePattern())) << registers;
    EXPECT_NE(m[1].str(), zero) << "the stack pointer";

    // The fault filter's trace starts with the faulting function's caller.
    const std::string trace = Field(lines, "StackTrace: ");
    ASSERT_TRUE(std::regex_match(trace, std::regex(HexAddress()))) << trace;
    EXPECT_TRUE(Within(Hex(trace), symbols["ReadNull"])) << trace;
    EXPECT_TRUE(std::regex_match(lines[IndexOf(lines, "Raw stack dump: ") + 1],
                                 std::regex("([0-9A-F]{2} ){8}-( [0-9A-F]{2}){8}")));

    const std::vector<std::string> opened = Opened(1);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(EndsWith(opened[0], "\\Vantora\\BugReport.html")) << opened[0];
}

TEST_F(BugReport, AThrownExceptionShowsItsRaiseSiteEscapedTextAndNoFault) {
    // A full-screen run: the report waits for the explorer process it started.
    EXPECT_EQ(RunProbe("throw", kModeFullScreen), 217);
    const std::vector<std::string> lines = OnlyReport();
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(Field(lines, "Exception: "),
              "Cannot open C:\\a&amp;b\\&lt;/TEXTAREA&gt;&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;");
    EXPECT_EQ(Field(lines, "Exception class: "), "Exception");
    EXPECT_EQ(Field(lines, "App mode: "), "34");
    EXPECT_TRUE(Within(Hex(Field(lines, "Exception address: ")), symbols["ThrowMarkup"]));
    EXPECT_EQ(Field(lines, "ExceptionInfo: "), "<missing>");
    EXPECT_EQ(lines[IndexOf(lines, "Registers:") + 1], ZeroRegisterLine());
    EXPECT_NE(Field(lines, "Frame: "), "<missing>");
    // The raise hook's trace begins with an empty line, then the throw's call site.
    const size_t trace = IndexOf(lines, "StackTrace: ");
    ASSERT_LT(trace + 1, lines.size());
    EXPECT_EQ(lines[trace], "StackTrace: ");
    EXPECT_TRUE(Within(Hex(lines[trace + 1]), symbols["ThrowMarkup"])) << lines[trace + 1];
    size_t closing = 0;
    for (const std::string& line : lines)
        closing += line.find("</TEXTAREA>") != std::string::npos;
    EXPECT_EQ(closing, 1u) << "only the form's own closing tag";
    EXPECT_EQ(Opened(1).size(), 1u);
}

TEST_F(BugReport, AnUncaughtObjectOfAnotherTypeReachesTheLastChanceHandler) {
    EXPECT_EQ(RunProbe("foreign", kModeFullScreen), 217);
    const std::vector<std::string> lines = OnlyReport();
    EXPECT_EQ(Field(lines, "Exception: "), "");
    EXPECT_EQ(Field(lines, "Exception class: "), "Exception object std::runtime_error is not of class Exception.");
    EXPECT_EQ(Field(lines, "App mode: "), "258");
    EXPECT_EQ(Opened(1).size(), 1u);
}

TEST_F(BugReport, AFaultWhereNothingMayThrowIsReportedByTheTerminateHandler) {
    EXPECT_EQ(RunProbe("noexcept", 0), 217);
    const std::vector<std::string> lines = OnlyReport();
    EXPECT_EQ(Field(lines, "Exception class: "), "EAccessViolation");
    EXPECT_EQ(Field(lines, "App mode: "), "256");
    EXPECT_EQ(Field(lines, "ExceptionInfo: "), "Error when read from " + std::string(sizeof(void*) * 2, '0'));
    EXPECT_TRUE(Within(Hex(Field(lines, "StackTrace: ")), symbols["ReadNullNoexcept"]));
    EXPECT_EQ(Opened(1).size(), 1u);
}

TEST_F(BugReport, ASecondReportInTheSameFolderGetsANumber) {
    EXPECT_EQ(RunProbe("throw", 0), 217);
    EXPECT_EQ(RunProbe("throw", 0), 217);
    const std::vector<std::string> names = ReportsIn(dataFolder);
    ASSERT_EQ(names.size(), 2u);
    const std::string numbered = names[0] == "BugReport.html" ? names[1] : names[0];
    EXPECT_TRUE(std::regex_match(numbered, std::regex("BugReport[0-9]{1,4}\\.html"))) << numbered;
    const std::vector<std::string> opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_TRUE(EndsWith(opened[1], "\\" + numbered)) << opened[1];
}

// Ends the explorer.exe processes that the probe `parent` started and left running.
void EndExplorersStartedBy(DWORD parent) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (entry.th32ParentProcessID != parent || lstrcmpiA(entry.szExeFile, "explorer.exe") != 0) continue;
        if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, entry.th32ProcessID)) {
            TerminateProcess(process, 0);
            CloseHandle(process);
        }
    }
    CloseHandle(snapshot);
}

// Without a program for .html, Wine's explorer.exe keeps a window open instead of ending. A
// full-screen report waits for it, but not for ever; a settings-mode report does not wait at all.
TEST_F(BugReport, OnlyAFullScreenReportWaitsForExplorerAndNotForEver) {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");
    const ProbeRun settings = RunProbeMeasured("throw", kModeSettings);
    const ProbeRun fullScreen = RunProbeMeasured("throw", kModeFullScreen);
    EndExplorersStartedBy(settings.processId);
    EndExplorersStartedBy(fullScreen.processId);
    EXPECT_EQ(settings.exitCode, 217);
    EXPECT_LT(settings.elapsedMs, 5000u);
    EXPECT_EQ(fullScreen.exitCode, 217);
    EXPECT_GE(fullScreen.elapsedMs, 14000u);
    EXPECT_LT(fullScreen.elapsedMs, 30000u);
}

// The data folder in use cannot take the file (its BugReport.html is a folder): notice 100, the
// message box, then the second attempt in the freshly chosen data folder.
TEST_F(BugReport, AnUnwritableReportFileIsRetriedInAFreshlyChosenDataFolder) {
    const std::string second = appData + "\\Vantora_Data";
    CreateDirectoryA(second.c_str(), nullptr);
    CreateDirectoryA((second + "\\BugReport.html").c_str(), nullptr);
    WriteSettingString("pathind", "2");
    int code = 0;
    std::thread probe([&] { code = RunProbe("throw", 0); });
    // The box is found as soon as it exists; it has its text once it is shown.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 15000; Sleep(20)) {
        HWND box = FindWindowA("#32770", "Vantora");
        if (box && IsWindowVisible(box)) break;
    }
    const MessageBoxSeen box = AnswerMessageBox();
    probe.join();
    EXPECT_EQ(code, 217);
    EXPECT_TRUE(box.found);
    EXPECT_EQ(box.text, "Failed to create bugreport file \"" + second + "\\BugReport.html\"");
    EXPECT_EQ(ReportsIn(second).size(), 0u);
    EXPECT_EQ(ReportsIn(dataFolder), std::vector<std::string>{"BugReport.html"});
    const std::vector<std::string> opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0].find("error.php?error=100"), std::string::npos) << opened[0];
    EXPECT_TRUE(EndsWith(opened[1], "\\Vantora\\BugReport.html")) << opened[1];
}

TEST_F(BugReport, ACorruptDataFolderChoiceFallsBackToTheAppDataFolder) {
    WriteSettingString("pathind", "9");
    EXPECT_EQ(RunProbe("throw", 0), 217);
    EXPECT_EQ(ReportsIn(dataFolder), std::vector<std::string>{"BugReport.html"});
    const std::vector<std::string> opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0].find("error.php?error=120"), std::string::npos) << opened[0];
}

// A window procedure fails while the report's message box is up: the report cannot be finished,
// so the failure goes out as notice 121, and the process still ends with 217.
TEST_F(BugReport, AFailureWhileReportingSendsNotice121AndEndsWith217) {
    const std::string second = appData + "\\Vantora_Data";
    CreateDirectoryA(second.c_str(), nullptr);
    CreateDirectoryA((second + "\\BugReport.html").c_str(), nullptr);
    WriteSettingString("pathind", "2");
    EXPECT_EQ(RunProbe("reenter", 0), 217);
    const std::vector<std::string> opened = Opened(2);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_NE(opened[0].find("error.php?error=100"), std::string::npos) << opened[0];
    std::smatch m;
    EXPECT_TRUE(
        std::regex_search(opened[1], m, std::regex("error\\.php\\?error=121&eradr=[0-9A-F]+&comment=Z?[0-9A-F,]+")))
        << opened[1];
    EXPECT_TRUE(ReportsIn(dataFolder).empty());
}

// End to end through the real program: a corrupt data-folder choice makes the full-screen run fail.
TEST_F(BugReport, ACorruptPathindMakesTheFullScreenRunReportWrongPathind) {
    // Without an install folder the settings would stop at their own message before the data folder.
    SetInstallPath(scratch.path());
    WriteSettingString("pathind", "9");
    EXPECT_EQ(RunAndWait("\"" + BinFolder() + "\\vantora.scr\" /s"), 217);
    SetInstallPath("");
    const std::vector<std::string> lines = OnlyReport();
    EXPECT_EQ(Field(lines, "Exception: "), "Wrong pathind");
    EXPECT_EQ(Field(lines, "App mode: "), "2");
    const size_t trace = IndexOf(lines, "StackTrace: ");
    ASSERT_LT(trace + 1, lines.size());
    EXPECT_TRUE(std::regex_match(lines[trace + 1], std::regex(HexAddress()))) << lines[trace + 1];
    const std::vector<std::string> opened = Opened(2);
    ASSERT_GE(opened.size(), 2u);
    EXPECT_NE(opened[0].find("error.php?error=120"), std::string::npos) << opened[0];
    EXPECT_TRUE(EndsWith(opened.back(), "\\Vantora\\BugReport.html")) << opened.back();
}

}  // namespace
