#include "settingswnd/SaverChildren_win.h"

#include <utility>

#include "catalogue/Launch_win.h"
#include "settings/SystemHelpers_win.h"

namespace {

constexpr DWORD kTaskPollMs = 100;
constexpr DWORD kClosePollMs = 10;
// After TerminateProcess the child's windows vanish once the process is gone; a new preview
// must not find the old one in the box.
constexpr DWORD kTerminateWaitMs = 2000;

BOOL CALLBACK PostCloseIfOf(HWND window, LPARAM processId) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == static_cast<DWORD>(processId)) PostMessageA(window, WM_CLOSE, 0, 0);
    return TRUE;
}

// Asks the child to close through its own windows (posted: a frozen saver never answers, and a
// sent message would hang this window with it), pumps this thread's messages for up to
// kCloseWaitMs while it goes, then terminates it. `boxChild` is its window inside ours, if any.
void EndChild(UniqueChildProcess& process, HWND boxChild) {
    if (process.Running()) {
        if (boxChild) PostMessageA(boxChild, WM_CLOSE, 0, 0);
        EnumWindows(PostCloseIfOf, static_cast<LPARAM>(process.Id()));
        for (const DWORD start = GetTickCount(); process.Running() && GetTickCount() - start < kCloseWaitMs;) {
            Sleep(kClosePollMs);
            PumpMessages();
        }
    }
    if (process.Running()) {
        TerminateProcess(process.Handle(), 0);
        WaitForSingleObject(process.Handle(), kTerminateWaitMs);
    }
    process.Leave();
}

}  // namespace

bool PreviewChild::Start(const std::string& filePath, HWND previewWindow) {
    Stop();
    process_ = RunScreensaver(filePath, previewWindow, false, false);
    if (!process_) return false;
    previewWindow_ = previewWindow;
    return true;
}

bool PreviewChild::Stop() {
    // Taken out first: messages pumped below may start or stop a preview themselves.
    UniqueChildProcess process = std::move(process_);
    const HWND previewWindow = std::exchange(previewWindow_, nullptr);
    if (!process) return false;
    const HWND child = previewWindow ? FindWindowExA(previewWindow, nullptr, nullptr, nullptr) : nullptr;
    EndChild(process, child);
    if (previewWindow) InvalidateRect(previewWindow, nullptr, FALSE);
    return child != nullptr;
}

bool PreviewChild::Running() const { return process_.Running(); }

bool SaverTaskChild::Start(const std::string& filePath, HWND owner, SaverTask task) {
    if (task == SaverTask::None || process_) return false;
    const bool settings = task == SaverTask::Settings;
    process_ = RunScreensaver(filePath, owner, settings, !settings);
    endRequested_ = false;
    return static_cast<bool>(process_);
}

void SaverTaskChild::WaitForEnd() {
    waiting_ = true;
    while (process_.Running() && !endRequested_) {
        Sleep(kTaskPollMs);
        PumpMessages();
    }
    waiting_ = false;
    EndChild(process_, nullptr);
}

void SaverTaskChild::RequestEnd() {
    endRequested_ = true;
    if (!waiting_) EndChild(process_, nullptr);
}

bool SaverTaskChild::Running() const { return process_.Running(); }
