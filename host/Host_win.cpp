#include "host/Host_win.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "app/Exception.h"
#include "app/Random.h"
#include "catalogue/Catalogue_win.h"
#include "catalogue/Launch_win.h"
#include "diag/Report_win.h"
#include "host/Curtain_win.h"
#include "host/InputWatch_win.h"
#include "host/RunLog_win.h"
#include "host/Schedule.h"
#include "host/Watchdog.h"
#include "settings/Registry_win.h"
#include "settings/SettingsKey_win.h"
#include "settings/Settings_win.h"
#include "settings/SystemHelpers_win.h"

namespace {

constexpr DWORD kPollMs = 300;
constexpr DWORD kCloseGraceMs = 10000;
// A child that stopped answering must not hold the host past its grace period.
constexpr UINT kCloseSendTimeoutMs = 1000;
// A child gets this long to show its window before the change timer starts anyway.
constexpr DWORD kReadyWaitMs = 5000;
// The first child gets this long to show its window before the curtain goes up anyway.
constexpr DWORD kCurtainWaitMs = 300;

// Waits, emptying this thread's queue, until the child waits for input, has ended or cannot tell
// (no window at all), or `timeoutMs` have passed.
void WaitUntilReady(const UniqueChildProcess& child, DWORD timeoutMs) {
    for (const DWORD start = GetTickCount(); GetTickCount() - start < timeoutMs;) {
        if (WaitForInputIdle(child.Handle(), std::min(kPollMs, timeoutMs)) != WAIT_TIMEOUT) return;
        PumpMessages();
    }
}

// "Prev" resolved against the list; -1 when it names nothing listed.
int32_t LoadPreviousSaver(const TSaverList& savers) {
    std::vector<std::string> paths;
    paths.reserve(static_cast<size_t>(savers.Count()));
    for (int i = 0; i < savers.Count(); ++i)
        paths.push_back(savers.ItemPtr(i).FilePath);
    return ResolvePrevious(ReadSettingString("Prev"), paths);
}

std::vector<bool> TicksOf(const TSaverList& savers) {
    std::vector<bool> checked;
    checked.reserve(static_cast<size_t>(savers.Count()));
    for (int i = 0; i < savers.Count(); ++i)
        checked.push_back(savers.ItemPtr(i).Checked);
    return checked;
}

// The next ticked saver after `current`; -1 when nothing is ticked.
int32_t ChooseNextSaver(const TSaverList& savers, int32_t current, const ScheduleState& state) {
    const int32_t next = ChooseNextIndex(TicksOf(savers), current, state, RandomReal);
    if (next >= 0 && (next > savers.Count() - 1 || !savers.ItemPtr(next).Checked)) {
        throw Exception("showorder error, count = " + std::to_string(savers.Count()) + "," + std::to_string(next));
    }
    return next;
}

// Writes "Prev" and, on a new day, "OrderDate"; the day is then no longer new.
void RecordCurrentSaver(const TSaverList& savers, int32_t current, bool& newDay) {
    TRegistry reg;
    reg.OpenKey(kSettingsKey, true);
    reg.WriteString("Prev", PreviousRecord(current, savers.ItemPtr(current).FilePath));
    if (newDay) {
        reg.WriteDate("OrderDate", TodayDate());
        newDay = false;
    }
}

// Ends the child: a close request and a grace period when it is in front, otherwise at once. True
// when it was in front.
bool StopChildSaver(UniqueChildProcess child, Curtain* curtain) {
    HWND front = GetForegroundWindow();
    DWORD frontProcess = 0;
    if (front) GetWindowThreadProcessId(front, &frontProcess);
    const bool inFront = front && frontProcess == child.Id();
    // Over the child before it goes, and the front taken from it: whatever would come forward when
    // it closes stays behind the curtain.
    if (curtain) curtain->Cover();
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
    child.End();
    return inFront;
}

// Every ticked screensaver failed: the black screen stays, and takes the keyboard, until the user
// comes back.
void WaitForUser(Curtain& curtain) {
    curtain.Cover();
    while (!curtain.UserCameBack()) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, kPollMs, QS_ALLINPUT);
        PumpMessages();
    }
}

void Rotate(const HostRun& run) {
    const bool fullScreen = run.parent == nullptr;
    const Settings& settings = run.settings;
    const bool skipFailed = fullScreen && settings.SkipFailed;
    bool newDay = settings.NewDay;
    int32_t current = LoadPreviousSaver(run.savers);
    RunLogFile log(fullScreen ? RunLogPathBeside(settings.SaverListFile) : "");
    const bool curtainWanted = fullScreen && settings.BlackBetween;
    Curtain curtain;
    bool curtainUp = false;
    FailureStreak streak;
    // Tells a screensaver that ended by itself from one the user closed; made once the first one
    // is ready, so that its hooks do not hold up that start.
    std::optional<InputWatch> input;
    for (;;) {
        current = ChooseNextSaver(run.savers, current, {settings.OrderMode, settings.ChangeOnceADay && !newDay});
        if (current < 0) return;
        if (skipFailed && streak.GivesUp(TicksOf(run.savers), current)) {
            log.Write(RunEvent::AllFailed, "");
            if (curtainWanted && !curtainUp) curtainUp = curtain.Show();
            if (!curtainUp) return;
            WaitForUser(curtain);
            log.Write(RunEvent::UserInput, "");
            return;
        }
        if (curtain.UserCameBack()) {
            log.Write(RunEvent::UserInput, "");
            return;
        }
        const std::string path = run.savers.ItemPtr(current).FilePath;
        if (fullScreen) RecordCurrentSaver(run.savers, current, newDay);
        UniqueChildProcess child = RunScreensaver(path, run.parent, false, fullScreen);
        if (!child) {
            log.Write(RunEvent::FailedToStart, path);
            if (!skipFailed) return;
            streak.Failed(current);
            continue;
        }
        if (!fullScreen) {
            // The preview child keeps drawing in the preview box after the host has gone.
            child.Leave();
            return;
        }
        log.Write(RunEvent::Started, path);
        if (curtainWanted && !curtainUp) {
            // The first screensaver starts alone, since making a window competes with its start;
            // the curtain goes up beneath it once it is ready, or ahead of it when it is slow. Every
            // later one starts above the curtain.
            WaitUntilReady(child, kCurtainWaitMs);
            curtainUp = curtain.Show(child.Id());
        }
        // The change timer starts once the child is in front: a slow start must not pass for a
        // screensaver that cannot show itself, which would be unticked for good.
        WaitUntilReady(child, kReadyWaitMs);
        // The input watch and the pointer's rest start here too, so that neither holds up the start.
        if (!input) input.emplace();
        const DWORD readyTick = GetTickCount();
        input->Rest();
        curtain.RestPointer();
        switch (SuperviseChildSaver(child, readyTick, {settings.ChangeEvery, settings.ChangeTime},
                                    curtainUp ? &curtain : nullptr)) {
            case ChildOutcome::Ended: {
                curtain.Cover();
                const bool userBack = curtain.UserCameBack() || input->UserActed(readyTick);
                log.Write(userBack ? RunEvent::UserInput : RunEvent::EndedByItself, path);
                if (userBack || !skipFailed) return;
                // It may work next time: it stays ticked.
                streak.Failed(current);
                break;
            }
            case ChildOutcome::TimeUp:
                log.Write(RunEvent::TimeUp, path);
                streak.Ran();
                break;
            case ChildOutcome::NotInFront:
                // It cannot show itself, so it leaves the rotation.
                run.savers.ItemPtr(current).Checked = false;
                run.findings.SaverUnticked(run.savers, current);
                log.Write(RunEvent::NotInFrontUnticked, path);
                break;
        }
    }
}

uint32_t ModeBitOf(HWND parent) { return parent ? kModePreview : kModeFullScreen; }

}  // namespace

void ListFileFindings::SaverUnticked(const TSaverList& savers, int) {
    // A list that cannot be written keeps the untick in memory: this run still leaves the saver out.
    SaveSaverList(savers, listFile_);
}

ChildOutcome SuperviseChildSaver(UniqueChildProcess& child,
                                 DWORD startTick,
                                 const ChangeTimer& timer,
                                 Curtain* curtain) {
    for (;;) {
        // A child that has ended by itself (the user's input closed it) is never taken for one whose
        // time is up: that would untick a screensaver that did nothing wrong.
        if (!child.Running()) return ChildOutcome::Ended;
        // Input that reached the curtain (around a screensaver that does not cover every monitor)
        // is the user's too.
        if (curtain && curtain->UserCameBack()) {
            child.End();
            return ChildOutcome::Ended;
        }
        if (timer.changeEvery && ChangeTimePassed(startTick, GetTickCount(), timer.changeTime))
            return StopChildSaver(std::move(child), curtain) ? ChildOutcome::TimeUp : ChildOutcome::NotInFront;
        Sleep(kPollMs);
        PumpMessages();
    }
}

void RunSaverHost(const HostRun& run) {
    // The host's own guard adds no bit of its own: the report shows AppMode as the run left it.
    RunGuarded(0, [&run] {
        AppMode |= ModeBitOf(run.parent);
        Rotate(run);
        AppMode &= ~(kModeFullScreen | kModePreview);
    });
}

void RunSaverMode(HWND parent) {
    // The catalogue's start is part of the run: its failures report the run's mode too.
    RunGuarded(0, [parent] {
        AppMode |= ModeBitOf(parent);
        // Nothing modal may stand before the saver: the screen stays uncovered until it is answered.
        Catalogue catalogue = StartCatalogue(StartNotices::Omit);
        ListFileFindings findings(catalogue.settings.SaverListFile);
        RunSaverHost({parent, catalogue.settings, catalogue.savers, findings});
    });
}
