// The settings window's screensaver children. The live preview and a saver's own settings dialog
// or full-screen run each have an owner of their own, so stopping the preview never ends the
// other child or closes its handle.
#pragma once

#include <windows.h>

#include <string>

#include "app/Handles.h"
#include "settingswnd/PreviewModel.h"

class PreviewChild {
public:
    // Starts the screensaver at `filePath` with "/p" in `previewWindow`; true when it started. A
    // child still held is stopped first.
    bool Start(const std::string& filePath, HWND previewWindow);
    // Ends the preview child: a close request that a frozen saver cannot stall, up to kCloseWaitMs
    // for it to go while this thread's messages are pumped, then termination. Safe to re-enter
    // from a message handled meanwhile. True when the child had a window in the preview box.
    bool Stop();
    bool Running() const;
    ~PreviewChild();

    static constexpr DWORD kCloseWaitMs = 500;

private:
    UniqueChildProcess process_;
    HWND previewWindow_ = nullptr;
};

class SaverTaskChild {
public:
    // Starts the screensaver at `filePath` with "/c:<owner>" (SaverTask::Settings) or "/s"; true
    // when it started.
    bool Start(const std::string& filePath, HWND owner, SaverTask task);
    // Polls every 100 ms, pumping this thread's messages in between, until the child has ended;
    // then closes its handle.
    void WaitForEnd();
    bool Running() const;

private:
    UniqueChildProcess process_;
};
