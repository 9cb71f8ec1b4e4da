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

// RunScreensaver leaves the new child in ChildProcess; its caller takes it from there.
UniqueHandle TakeStartedChild() { return UniqueHandle(std::exchange(ChildProcess, nullptr)); }

void EndNow(HANDLE process) {
    if (!ChildStillRunning(process)) return;
    TerminateProcess(process, 0);
    WaitForSingleObject(process, kTerminateWaitMs);
}

}  // namespace

bool PreviewChild::Start(int index, HWND previewWindow) {
    Stop();
    if (!RunScreensaver(index, previewWindow, false, false)) return false;
    process_ = TakeStartedChild();
    previewWindow_ = previewWindow;
    return true;
}

bool PreviewChild::Stop() {
    // Taken out first: messages pumped below may start or stop a preview themselves.
    UniqueHandle process = std::move(process_);
    const HWND previewWindow = std::exchange(previewWindow_, nullptr);
    if (!process) return false;

    HWND child = previewWindow ? FindWindowExA(previewWindow, nullptr, nullptr, nullptr) : nullptr;
    if (child) {
        // A frozen saver never answers; SendMessage would hang the window with it.
        PostMessageA(child, WM_CLOSE, 0, 0);
        const DWORD start = GetTickCount();
        while (ChildStillRunning(process.get()) && GetTickCount() - start < kCloseWaitMs) {
            Sleep(kClosePollMs);
            PumpMessages();
        }
    }
    EndNow(process.get());
    if (previewWindow) InvalidateRect(previewWindow, nullptr, FALSE);
    return child != nullptr;
}

bool PreviewChild::Running() const { return ChildStillRunning(process_.get()); }

PreviewChild::~PreviewChild() { EndNow(process_.get()); }

bool SaverTaskChild::Start(int index, HWND owner, SaverTask task) {
    if (task == SaverTask::None || process_) return false;
    const bool settings = task == SaverTask::Settings;
    if (!RunScreensaver(index, owner, settings, !settings)) return false;
    process_ = TakeStartedChild();
    return true;
}

void SaverTaskChild::WaitForEnd() {
    while (ChildStillRunning(process_.get())) {
        Sleep(kTaskPollMs);
        PumpMessages();
    }
    process_.reset();
}

bool SaverTaskChild::Running() const { return ChildStillRunning(process_.get()); }
