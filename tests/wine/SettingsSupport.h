// What the settings, data-folder and discovery tests share: the install key, a watched shell
// (URL opens logged by the urllog fixture instead of a browser), message boxes found and answered,
// and child runs of this test program for "the next start".
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/wine/WineTest.h"

// Writes HKLM\Software\Kestrella\Vantora "Path" = `folder`; "" deletes the key.
void SetInstallPath(const std::string& folder);

// Routes the shell's http, https and htmlfile opens to urllog.exe, logging into a fresh file.
class UrlLog {
public:
    UrlLog();
    ~UrlLog();
    // What was opened (urllog's argument, unquoted), one per open.
    std::vector<std::string> Lines() const;
    // Lines(), after waiting up to `timeoutMs` for `count` of them.
    std::vector<std::string> WaitForLines(size_t count, DWORD timeoutMs = 10000) const;

private:
    TestFolder folder_;
};

// A message box with the caption "Vantora" of any process: its text, then it is answered with OK.
// Not found when none appeared within the time.
struct MessageBoxSeen {
    bool found = false;
    std::string text;
};
MessageBoxSeen AnswerMessageBox(DWORD timeoutMs = 15000);

// Runs the hidden test `name` (a DISABLED_ test of this program) in a new process, which reports
// through the file in %VANTORA_CHILD_OUT%; `meanwhile` runs on another thread. Returns the report's lines.
std::vector<std::string> RunChildTest(
    const std::string& name,
    const std::function<void()>& meanwhile = [] {});
// For the child side: appends one line to its report.
void ChildReport(const std::string& line);

std::vector<std::string> SplitLines(const std::string& text);
