#include "host/Host_win.h"

#include <string>
#include <vector>

#include "app/Exception.h"
#include "app/Random.h"
#include "catalogue/Catalogue_win.h"
#include "catalogue/Launch_win.h"
#include "diag/Report_win.h"
#include "host/Schedule.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"

int32_t CurrentSaver = -1;

namespace {

constexpr DWORD kPollMs = 300;
constexpr DWORD kCloseGraceMs = 10000;
// A child that stopped answering must not hold the host past its grace period.
constexpr UINT kCloseSendTimeoutMs = 1000;
// A child gets this long to show its window before the change timer starts anyway.
constexpr DWORD kReadyWaitMs = 5000;

// Waits, emptying this thread's queue, until the child waits for input, has ended or cannot tell
// (no window at all), or kReadyWaitMs have passed.
void WaitUntilReady(const UniqueChildProcess& child) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < kReadyWaitMs;) {
        if (WaitForInputIdle(child.Handle(), kPollMs) != WAIT_TIMEOUT) return;
        PumpMessages();
    }
}

}  // namespace

int32_t LoadPreviousSaver() {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(AllSavers.Count()));
    for (int i = 0; i < AllSavers.Count(); ++i)
        paths.push_back(AllSavers.ItemPtr(i).FilePath);
    return ResolvePrevious(ReadSettingString("Prev"), paths);
}

bool ChooseNextSaver() {
    std::vector<bool> checked;
    checked.reserve(static_cast<size_t>(AllSavers.Count()));
    for (int i = 0; i < AllSavers.Count(); ++i)
        checked.push_back(AllSavers.ItemPtr(i).Checked);

    const Settings& settings = CurrentSettings();
    const int32_t next =
        ChooseNextIndex(checked, CurrentSaver,
                        ScheduleState{settings.OrderMode, settings.ChangeOnceADay && !settings.NewDay}, RandomReal);
    if (next < 0) return false;
    CurrentSaver = next;
    if (CurrentSaver > AllSavers.Count() - 1 || !AllSavers.ItemPtr(CurrentSaver).Checked) {
        throw Exception("showorder error, count = " + std::to_string(AllSavers.Count()) + "," +
                        std::to_string(CurrentSaver));
    }
    return true;
}

void RecordCurrentSaver() {
    std::string prev;
    if (CurrentSaver >= 0 && CurrentSaver < AllSavers.Count()) {
        prev = PreviousRecord(CurrentSaver, AllSavers.ItemPtr(CurrentSaver).FilePath);
    }
    TRegistry reg;
    reg.OpenKey(kSettingsKey, true);
    reg.WriteString("Prev", prev);
    if (CurrentSettings().NewDay) {
        reg.WriteDate("OrderDate", TodayDate());
        CurrentSettings().NewDay = false;
    }
}

void StopChildSaver(UniqueChildProcess child) {
    HWND front = GetForegroundWindow();
    DWORD frontProcess = 0;
    if (front) GetWindowThreadProcessId(front, &frontProcess);
    const bool inFront = front && frontProcess == child.Id();

    if (inFront) {
        const DWORD start = GetTickCount();
        // Bounded, so that a hung window cannot stall the host beyond the grace period.
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(front, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_BLOCK, kCloseSendTimeoutMs, &ignored);
        do {
            Sleep(kPollMs);
            PumpMessages();
        } while (GetTickCount() - start <= kCloseGraceMs && child.Running());
    }
    // Ended before anything below can fail: a full-screen child must never outlive the host.
    child.End();
    if (!inFront) {
        // Something else is in front: this screensaver cannot show itself, so it leaves the rotation.
        AllSavers.ItemPtr(CurrentSaver).Checked = false;
        AllSavers.SaveToFile(CurrentSettings().SaverListFile);
    }
}

ChildOutcome SuperviseChildSaver(UniqueChildProcess& child, DWORD startTick) {
    for (;;) {
        // A child that has ended by itself (the user's input closed it) is never taken for one whose
        // time is up: that would untick a screensaver that did nothing wrong.
        if (!child.Running()) return ChildOutcome::Ended;
        const Settings& settings = CurrentSettings();
        if (settings.ChangeEvery && ChangeTimePassed(startTick, GetTickCount(), settings.ChangeTime)) {
            StopChildSaver(std::move(child));
            return ChildOutcome::TimeUp;
        }
        Sleep(kPollMs);
        PumpMessages();
    }
}

void RunSaverHost(HWND parent) {
    // The host's own guard adds no bit of its own: the report shows AppMode as the run left it.
    RunGuarded(0, [parent] {
        const bool fullScreen = parent == nullptr;
        AppMode |= fullScreen ? kModeFullScreen : kModePreview;
        // Nothing modal may stand before the saver: the screen stays uncovered until it is answered.
        if (!LaunchedFromSettings) StartCatalogue(StartNotices::Omit);
        CurrentSaver = LoadPreviousSaver();

        while (ChooseNextSaver()) {
            if (fullScreen) RecordCurrentSaver();
            UniqueChildProcess child = RunScreensaver(CurrentSaver, parent, false, fullScreen);
            if (!child) break;
            if (!fullScreen) {
                // The preview child keeps drawing in the preview box after the host has gone.
                child.Leave();
                break;
            }
            // The change timer starts once the child is in front: a slow start must not pass for a
            // screensaver that cannot show itself, which would be unticked for good.
            WaitUntilReady(child);
            if (SuperviseChildSaver(child, GetTickCount()) == ChildOutcome::Ended) break;
        }

        AppMode &= ~(kModeFullScreen | kModePreview);
        if (!LaunchedFromSettings) StopCatalogue();
    });
}
