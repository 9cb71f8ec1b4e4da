// The Linux screen sampler (tests/sampler) seen from a Wine program: it starts the sampler on the
// Xvfb screen and reads its figures, and shows a window of a colour nothing else draws, standing
// for the user's desktop and open windows.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "tests/wine/WineTest.h"

constexpr COLORREF kDesktopColour = RGB(0xE0, 0x10, 0xB0);

// A full-screen, non-topmost window of kDesktopColour in this thread; it paints while the thread pumps.
HWND ShowDesktopStandIn();

struct SampledFrames {
    long frames = 0;        // frames read since the screen was first covered
    long shown = 0;         // of them, frames in which the desktop showed anywhere
    double hz = 0;          // frames read per second
    double coveredMs = -1;  // from Go() to the first covered frame
};

class ScreenSampler {
public:
    // Starts the sampler watching for kDesktopColour; it stops by itself after `maxSeconds`.
    explicit ScreenSampler(int maxSeconds = 300);
    ~ScreenSampler();
    ScreenSampler(const ScreenSampler&) = delete;
    ScreenSampler& operator=(const ScreenSampler&) = delete;

    // Pumps until the sampler has seen the desktop on the whole screen; false when it never did.
    bool WaitUntilReady(DWORD timeoutMs = 20000);
    // Marks the moment from which the time to a covered screen counts.
    void Go();
    // Stops the sampler and reads its figures; nothing when it gave none within the time.
    std::optional<SampledFrames> Stop(DWORD timeoutMs = 20000);

private:
    TestFolder folder_;
    bool started_ = false;
};
