// What the settings, data-folder and discovery tests share: the install key, a watched shell
// (URL opens logged by the urllog fixture instead of a browser), message boxes found and answered,
// and child runs of this test program for "the next start".
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

extern const char kInstallKeyPath[];  // under HKEY_LOCAL_MACHINE

// Writes HKLM\Software\Kestrella\Vantora "Path" = `folder`; "" deletes the key.
void SetInstallPath(const std::string& folder);

// Routes the shell's http, https and htmlfile opens to urllog.exe, logging into a fresh file.
class UrlLog {
public:
    UrlLog();
    ~UrlLog();
    UrlLog(const UrlLog&) = delete;
    UrlLog& operator=(const UrlLog&) = delete;
    const std::string& path() const { return path_; }
    // What was opened (urllog's argument, unquoted), one per open, after waiting up to
    // `timeoutMs` for `count` of them.
    std::vector<std::string> WaitForLines(size_t count, DWORD timeoutMs = 10000) const;
    std::vector<std::string> Lines() const;

private:
    std::string path_;
};

// A message box with the caption "Vantora" of any process: its text, then it is answered with OK.
// Empty when none appeared within the time.
struct MessageBoxSeen {
    bool found = false;
    std::string text;
};
MessageBoxSeen AnswerMessageBox(DWORD timeoutMs = 15000);

// Runs the hidden test `name` (a DISABLED_ test of this program) in a new process, which reports
// through the file in %VANTORA_CHILD_OUT%; `whileRunning` runs meanwhile. Returns that file's lines.
std::vector<std::string> RunChildTest(const std::string& name, const std::function<void()>& whileRunning = {});
// For the child side: appends one line to its report.
void ChildReport(const std::string& line);

std::vector<std::string> SplitLines(const std::string& text);
