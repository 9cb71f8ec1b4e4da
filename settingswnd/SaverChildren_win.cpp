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

void EndNow(UniqueChildProcess& process) {
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

    HWND child = previewWindow ? FindWindowExA(previewWindow, nullptr, nullptr, nullptr) : nullptr;
    if (child) {
        // A frozen saver never answers; SendMessage would hang the window with it.
        PostMessageA(child, WM_CLOSE, 0, 0);
        const DWORD start = GetTickCount();
        while (process.Running() && GetTickCount() - start < kCloseWaitMs) {
            Sleep(kClosePollMs);
            PumpMessages();
        }
    }
    EndNow(process);
    if (previewWindow) InvalidateRect(previewWindow, nullptr, FALSE);
    return child != nullptr;
}

bool PreviewChild::Running() const { return process_.Running(); }

PreviewChild::~PreviewChild() { EndNow(process_); }

bool SaverTaskChild::Start(const std::string& filePath, HWND owner, SaverTask task) {
    if (task == SaverTask::None || process_) return false;
    const bool settings = task == SaverTask::Settings;
    process_ = RunScreensaver(filePath, owner, settings, !settings);
    return static_cast<bool>(process_);
}

void SaverTaskChild::WaitForEnd() {
    while (process_.Running()) {
        Sleep(kTaskPollMs);
        PumpMessages();
    }
    process_.Leave();
}

bool SaverTaskChild::Running() const { return process_.Running(); }
