// The failure hooks and the bug report, end to end: crashprobe.exe (which links the diagnostics)
// and vantora.scr fail for real, and the tests read the report, the URL log and the exit code.
#include <gtest/gtest.h>

#include <windows.h>

#include <tlhelp32.h>

#include <map>
#include <regex>
#include <set>
#include <thread>
#include <tuple>

#include "app/Handles.h"
#include "app/Text.h"
#include "diag/Report_win.h"
#include "diag/StackWalk_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/SystemHelpers_win.h"
#include "tests/wine/SettingsSupport.h"
#include "tests/wine/WineTest.h"

namespace {

const std::string kHexAddress = "[0-9A-F]{" + std::to_string(kAddressDigits) + "}";

std::vector<std::string> ReportsIn(const std::string& folder) { return NamesMatching(folder + "\\BugReport*.html"); }

// The rest of the first page line that starts with `label`, or the whole line `below` lines under
// it; "<missing>" when no line starts so.
std::string Field(const std::string& page, const std::string& label, int below = 0) {
    size_t at = page.find("\n" + label);
    if (at == std::string::npos) return "<missing>";
    at += 1 + (below ? 0 : label.size());
    for (int i = 0; i < below; ++i)
        at = page.find("\r\n", at) + 2;
    return page.substr(at, page.find("\r\n", at) - at);
}

uint64_t Hex(const std::string& text) { return std::stoull(text, nullptr, 16); }

bool Within(uint64_t address, uint64_t functionStart) {
    return address >= functionStart && address < functionStart + 0x100;
}

// The ids of the running explorer.exe processes.
std::set<DWORD> Explorers() {
    std::set<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, "explorer.exe") == 0) ids.insert(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return ids;
}

class BugReport : public ::testing::Test {
protected:
    void SetUp() override {
        // Wine's prefix has no .html extension entry; without one explorer.exe keeps a window open
        // instead of handing the page to the browser.
        RegSetValueA(HKEY_CLASSES_ROOT, ".html", REG_SZ, "htmlfile", 8);
        RemoveTree(dataFolder);
        RemoveTree(secondFolder);
        CreateDirectoryA(dataFolder.c_str(), nullptr);
        WriteSettingString("pathind", "1");
        DeleteSetting("pathdata");
    }
    void TearDown() override {
        RemoveTree(dataFolder);
        RemoveTree(secondFolder);
        DeleteSetting("pathind");
        DeleteSetting("pathdata");
    }

    // Makes the data folder of pathind 2 unable to take a report: its BugReport.html is a folder.
    void BlockSecondFolder() {
        CreateDirectoryA(secondFolder.c_str(), nullptr);
        CreateDirectoryA((secondFolder + "\\BugReport.html").c_str(), nullptr);
        WriteSettingString("pathind", "2");
    }

    // Runs crashprobe and reads the addresses it noted; its exit code.
    int RunProbe(const std::string& action, uint32_t appMode) {
        const std::string info = scratch / "symbols.txt";
        const int code = RunAndWait(
            "\"" + BinFolder() + "\\crashprobe.exe\" " + action + " " + std::to_string(appMode) + " \"" + info + "\"",
            60000);
        for (const std::string& line : SplitLines(ReadWholeFile(info))) {
            const size_t equals = line.find('=');
            if (equals != std::string::npos) symbols[line.substr(0, equals)] = Hex(line.substr(equals + 1));
        }
        return code;
    }

    // The one report in the data folder: BugReport.html, one of `opens` pages opened.
    std::string OnlyReport(size_t opens = 1) {
        EXPECT_EQ(ReportsIn(dataFolder), std::vector<std::string>{"BugReport.html"});
        EXPECT_NE(Opened(opens, "\\Vantora\\BugReport.html"), "<none>");
        return ReadWholeFile(dataFolder + "\\BugReport.html");
    }

    // The first of `count` pages or notices opened through the shell that contains `part` (letter
    // case ignored), or "<none>". Each opens from a process of its own, so their order is not fixed.
    std::string Opened(size_t count, const std::string& part) {
        for (const std::string& line : urls.WaitForLines(count)) {
            if (AsciiLower(line).find(AsciiLower(part)) != std::string::npos) return line;
        }
        return "<none>";
    }

    UrlLog urls;
    TestFolder scratch;
    const std::string dataFolder = AppDataFolder() + "\\Vantora";
    const std::string secondFolder = AppDataFolder() + "\\Vantora_Data";
    std::map<std::string, uint64_t> symbols;
};

// A fault inside a guard, and one where nothing may throw (the terminate handler reports it with
// the fault saved for its thread): both show the fault's state and a trace from its caller.
using FaultReport = BugReport;

TEST_F(FaultReport, ShowsTheFaultStateAndATraceFromTheCaller) {
    const std::pair<const char*, const char*> probes[] = {{"fault", "32"},
                                                          {"noexcept", "256"}};  // the app mode reported
    for (size_t i = 0; i < std::size(probes); ++i) {
        const auto [action, appMode] = probes[i];
        SCOPED_TRACE(action);
        SetUp();
        EXPECT_EQ(RunProbe(action, 0), 217);
        const std::string page = OnlyReport(i + 1);
        const std::string zero(kAddressDigits, '0');
        EXPECT_EQ(Field(page, "Exception class: "), "EAccessViolation");
        EXPECT_TRUE(
            std::regex_match(Field(page, "Exception: "),
                             std::regex("Access violation at address " + kHexAddress + "\\. Read of address " + zero)));
        EXPECT_EQ(Field(page, "App mode: "), appMode);
        EXPECT_EQ(Field(page, "ExceptionInfo: "), "Error when read from " + zero);
        EXPECT_TRUE(Within(Hex(Field(page, "Exception address: ")), symbols["ReadThrough"]));
        std::smatch registers;
        const std::string line = Field(page, "Registers:", 1);
        ASSERT_TRUE(std::regex_match(line, registers, std::regex("[ER]AX=.* [ER]SP=(" + kHexAddress + ")"))) << line;
        EXPECT_NE(registers[1].str(), zero) << "the stack pointer";
        const std::string trace = Field(page, "StackTrace: ");
        EXPECT_TRUE(std::regex_match(trace, std::regex(kHexAddress)) && Within(Hex(trace), symbols["ReadNull"]))
            << trace;
    }
}

// A second report gets a number: here an uncaught object of another type, which reaches the last
// chance handler.
TEST_F(BugReport, AThrownExceptionShowsItsRaiseSiteAndEscapedTextAndASecondReportGetsANumber) {
    EXPECT_EQ(RunProbe("throw", kModeFullScreen), 217);
    const std::string page = OnlyReport();
    EXPECT_EQ(Field(page, "Exception: "),
              "Cannot open C:\\a&amp;b\\&lt;/TEXTAREA&gt;&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;");
    EXPECT_EQ(page.find("</TEXTAREA>"), page.rfind("</TEXTAREA>")) << "only the form's own closing tag";
    EXPECT_EQ(Field(page, "App mode: "), "34");
    EXPECT_TRUE(Within(Hex(Field(page, "Exception address: ")), symbols["ThrowMarkup"]));
    // The raise hook's trace begins with an empty line, then the throw's call site.
    EXPECT_EQ(Field(page, "StackTrace: "), "");
    EXPECT_TRUE(Within(Hex(Field(page, "StackTrace: ", 1)), symbols["ThrowMarkup"]));

    EXPECT_EQ(RunProbe("foreign", kModeFullScreen), 217);
    const std::vector<std::string> names = ReportsIn(dataFolder);
    ASSERT_EQ(names.size(), 2u);
    const std::string numbered = names[0] == "BugReport.html" ? names[1] : names[0];
    EXPECT_TRUE(std::regex_match(numbered, std::regex("BugReport[0-9]{1,4}\\.html"))) << numbered;
    EXPECT_NE(Opened(2, "\\" + numbered), "<none>");
    const std::string second = ReadWholeFile(dataFolder + "\\" + numbered);
    EXPECT_EQ(Field(second, "Exception class: "), "Exception object std::runtime_error is not of class Exception.");
    EXPECT_EQ(Field(second, "App mode: "), "258");
}

// Without a program for .html, Wine's explorer.exe keeps a window open instead of ending. A
// full-screen report waits for it, but not for ever; a settings-mode report does not wait at all.
TEST_F(BugReport, OnlyAFullScreenReportWaitsForExplorerAndNotForEver) {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, ".html");
    RegDeleteKeyA(HKEY_CLASSES_ROOT, ".html");
    const std::set<DWORD> before = Explorers();
    for (const auto& [mode, atLeastMs, belowMs] :
         {std::tuple{kModeSettings, 0u, 5000u}, {kModeFullScreen, 14000u, 30000u}}) {
        const DWORD start = GetTickCount();
        EXPECT_EQ(RunProbe("throw", mode), 217);
        const DWORD elapsed = GetTickCount() - start;
        EXPECT_TRUE(elapsed >= atLeastMs && elapsed < belowMs) << mode << ": " << elapsed << " ms";
    }
    for (DWORD id : Explorers()) {
        UniqueHandle process(before.count(id) ? nullptr : OpenProcess(PROCESS_TERMINATE, FALSE, id));
        if (process) TerminateProcess(process.get(), 0);
    }
}

// Notice 100 and the message box, then the second attempt in the freshly chosen data folder. When a
// window procedure fails while that box is up, the report cannot be finished: the failure goes out
// as notice 121, and the process still ends with 217.
TEST_F(BugReport, AnUnwritableReportFileIsRetriedElsewhereAndAFailureMeanwhileSendsNotice121) {
    BlockSecondFolder();
    int code = 0;
    std::thread probe([&] { code = RunProbe("throw", 0); });
    const MessageBoxSeen box = AnswerMessageBox();
    probe.join();
    EXPECT_EQ(code, 217);
    EXPECT_EQ(box.text, "Failed to create bugreport file \"" + secondFolder + "\\BugReport.html\"");
    OnlyReport(2);
    EXPECT_NE(Opened(2, "error.php?error=100"), "<none>");

    SetUp();
    BlockSecondFolder();
    EXPECT_EQ(RunProbe("reenter", 0), 217);
    const std::string notice121 = Opened(4, "error=121");
    EXPECT_TRUE(
        std::regex_search(notice121, std::regex("error\\.php\\?error=121&eradr=[0-9A-F]+&comment=Z?[0-9A-F,]+")))
        << notice121;
    EXPECT_TRUE(ReportsIn(dataFolder).empty());
}

// End to end through the real program: a data-folder choice out of range makes the full-screen run
// fail once. The value is removed first, so the report and every later start choose the folder afresh.
TEST_F(BugReport, AnOutOfRangePathindIsReportedOnceThenChosenAfresh) {
    // Without an install folder the settings would stop at their own message box first.
    SetInstallPath(scratch.path());
    const std::string program = "\"" + BinFolder() + "\\vantora.scr\" /s";
    WriteSettingString("pathind", "9");
    EXPECT_EQ(RunAndWait(program), 217);
    const std::string page = OnlyReport();
    EXPECT_EQ(Field(page, "Exception: "), "Wrong pathind");
    EXPECT_EQ(Field(page, "App mode: "), "2");
    EXPECT_TRUE(std::regex_match(Field(page, "StackTrace: ", 1), std::regex(kHexAddress))) << page;
    EXPECT_EQ(ReadSettingString("pathind"), "1");
    EXPECT_EQ(RunAndWait(program), 0);
    SetInstallPath("");
}

}  // namespace
