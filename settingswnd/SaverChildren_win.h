// The settings window's screensaver children. The live preview and a saver's own settings dialog
// or full-screen run each have an owner of their own, so stopping the preview never ends the
// other child or closes its handle. Both end the same way: a close request that a frozen saver
// cannot stall, up to kCloseWaitMs for the child to go while this thread's messages are pumped,
// then termination.
// Dropping either owner terminates a child still running, without waiting.
#pragma once

#include <windows.h>

#include <string>

#include "app/Handles.h"
#include "settingswnd/PreviewModel.h"

constexpr DWORD kCloseWaitMs = 500;

class PreviewChild {
public:
    // Starts the screensaver at `filePath` with "/p" in `previewWindow`; true when it started. A child
    // still held is stopped first.
    bool Start(const std::string& filePath, HWND previewWindow);
    // Ends the preview child within its bound. Safe to re-enter from a message handled meanwhile.
    // True when the child had a window in the preview box.
    bool Stop();
    bool Running() const;

private:
    UniqueChildProcess process_;
    HWND previewWindow_ = nullptr;
};

class SaverTaskChild {
public:
    // Starts the screensaver at `filePath` with "/c:<owner>" (SaverTask::Settings) or "/s"; true when it
    // started.
    bool Start(const std::string& filePath, HWND owner, SaverTask task);
    // Polls every 100 ms, pumping this thread's messages in between, until the child has ended or
    // RequestEnd was called and the child was ended within its bound; then closes its handle.
    void WaitForEnd();
    // Makes a WaitForEnd under way end the child and return; without one, ends the child at once.
    void RequestEnd();
    bool Running() const;

private:
    UniqueChildProcess process_;
    bool waiting_ = false;
    bool endRequested_ = false;
};
