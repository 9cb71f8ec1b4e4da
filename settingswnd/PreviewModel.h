// When the Screensavers page's live preview starts and stops, as transitions: the window reports
// what happened together with what it shows now, and carries out the returned steps in order.
// The preview child and the child of a saver's own settings or full-screen run have separate
// owners: stopping the preview never touches the other.
// No Windows headers: built natively too.
#pragma once

#include <cstdint>
#include <vector>

enum class PreviewStep : uint8_t {
    DrawFrame,            // the frame around the preview image
    SelectRow,            // select `row` in the checklist
    CopyTick,             // the catalogue entry `row` takes the checklist row's tick
    EnableSaverButtons,   // "Settings" and "Preview" of the preview box
    DisableSaverButtons,  //
    StopPreview,          // close the preview child: bounded, pumping messages while it waits
    StartPreview,         // start `row` in the preview window, then report OnPreviewStarted
    OpenSaverSettings,    // start `row` with its own settings, then report OnSaverTaskStarted
    RunSaverFullScreen,   // start `row` full screen, then report OnSaverTaskStarted
    ReloadTicks,          // every checklist row's tick from the catalogue
};

struct PreviewAction {
    PreviewStep step;
    int row;
    bool operator==(const PreviewAction& other) const { return step == other.step && row == other.row; }
};
using PreviewActions = std::vector<PreviewAction>;

// What the window shows as it reports an event: the tab control's current selection (already the
// new page when a tab change is reported), the checklist's selection (-1 for none) and its rows.
struct PreviewView {
    int page;
    int selectedRow;
    int rowCount;
};

enum class SaverTask : uint8_t { None, Settings, FullScreen };

class PreviewModel {
public:
    // Paints before this come from the window being built and are ignored.
    void OnWindowBuilt() { built_ = true; }
    // After every paint of the tab control or a page.
    PreviewActions OnPainted(const PreviewView& view);
    // The checklist's selection changed, or a row's tick did (the checklist reports both alike).
    PreviewActions OnSelectionChanged(const PreviewView& view);
    // The outcome of a StartPreview step.
    PreviewActions OnPreviewStarted(bool started, const PreviewView& view);
    // Another tab was chosen.
    PreviewActions OnTabChanged();
    // The preview box's "Settings" or "Preview" button.
    PreviewActions OnSaverTask(SaverTask task, const PreviewView& view);
    // The outcome of an OpenSaverSettings or RunSaverFullScreen step; a child that started is
    // waited for and then reported through OnSaverTaskEnded.
    PreviewActions OnSaverTaskStarted(bool started, const PreviewView& view);
    PreviewActions OnSaverTaskEnded(const PreviewView& view);
    // The bottom "Preview": the rotation runs inside this process between the two.
    PreviewActions OnTestRunStarting();
    PreviewActions OnTestRunEnded(const PreviewView& view);
    // OK, Cancel or the close button: the preview stops for good.
    PreviewActions OnClosing();

    bool PreviewRunning() const { return PreviewRunning_; }
    bool PreviewBusy() const { return PreviewBusy_; }
    bool SaverButtonsDisabled() const { return SaverButtonsDisabled_; }
    int LastPreviewed() const { return LastPreviewed_; }
    int LastSeenPage() const { return LastSeenPage_; }
    SaverTask RunningTask() const { return task_; }

private:
    static constexpr int kForceRestart = -2;
    bool MayPreview(const PreviewView& view, int row) const;
    void PreviewSelected(int row, const PreviewView& view, PreviewActions& out);
    void Restart(const PreviewView& view, PreviewActions& out);
    void Stop(PreviewActions& out);
    // Stops the preview and keeps it from starting while `hold` is set.
    PreviewActions StopAndHold(bool& hold);
    void SetSaverButtons(bool enable, PreviewActions& out);
    PreviewActions EndTask(const PreviewView& view);

    bool PreviewRunning_ = false;  // a preview child was started and not yet stopped
    bool PreviewBusy_ = false;     // a StartPreview step is under way
    bool SaverButtonsDisabled_ = false;
    int LastPreviewed_ = -1;  // the row whose preview was started last
    int LastSeenPage_ = -1;   // the page current at the previous paint
    bool built_ = false;
    bool closing_ = false;
    bool testRun_ = false;
    SaverTask task_ = SaverTask::None;
    int taskRow_ = -1;
};
