// The rotation host: runs the ticked screensavers one after another as child processes. It opens
// no window of its own; the screensavers it starts do the drawing and read the input. A run is a
// function of its inputs: the system's "/s" and "/p" runs and the settings window's test run call
// the same entry with what each of them holds.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "app/Handles.h"
#include "catalogue/SaverList.h"
#include "settings/Settings.h"

// Where a run's findings go. The run has already applied each one to its own list.
class RunFindings {
public:
    virtual ~RunFindings() = default;
    // Saver `index` of `savers` could not come to the front at its change time and is unticked.
    virtual void SaverUnticked(const TSaverList& savers, int index) = 0;
};

// A run started by the system: an untick is saved to the list file at once, so later runs leave the
// saver out. A file that cannot be written keeps the untick in memory only: nothing may stand
// before the screensavers, and no one may be there to answer.
class ListFileFindings : public RunFindings {
public:
    explicit ListFileFindings(std::string listFile) : listFile_(std::move(listFile)) {}
    void SaverUnticked(const TSaverList& savers, int index) override;

private:
    std::string listFile_;
};

struct HostRun {
    HWND parent;            // null for a full-screen run, else the preview box
    Settings settings;      // order, change schedule and the day's state, as the run starts
    TSaverList& savers;     // the list the run chooses from and unticks in
    RunFindings& findings;  // told of every untick
};

// The cycle choose → record "Prev" (and "OrderDate" on a new day) → start → supervise, until the
// user comes back, a start fails or nothing is ticked. A full-screen run keeps a black curtain behind
// its screensavers ("BlackBetween"), goes on past a screensaver that fails to start or ends with no
// user input ("SkipFailed"; when all have failed, the curtain stays until the user comes back), and
// writes its events to the run log. A preview run starts one child in the box, records nothing and
// returns at once. Returns when the run ends; a failure of the program's exception type is reported
// (and ends the process).
void RunSaverHost(const HostRun& run);

// The "/s" (null `parent`) and "/p <parent>" modes: the catalogue as stored, unticks saved to the
// list file.
void RunSaverMode(HWND parent);

class Curtain;

enum class ChildOutcome {
    Ended,       // the child ended by itself, or the user came back to the curtain (the child is ended)
    TimeUp,      // its change time came and it was closed, or ended after its grace
    NotInFront,  // its change time came while another program held the front: ended at once
};
struct ChangeTimer {
    bool changeEvery;
    int32_t changeTime;  // minutes
};
// Polls `child` every 300 ms, emptying this thread's queue between polls, until it ends by itself,
// its change time is up (then it has been stopped, the curtain raised over it first) or the user
// came back to the curtain.
ChildOutcome SuperviseChildSaver(UniqueChildProcess& child,
                                 DWORD startTick,
                                 const ChangeTimer& timer,
                                 Curtain* curtain = nullptr);
