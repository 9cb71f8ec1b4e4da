#include "settingswnd/PreviewModel.h"

#include "settingswnd/SettingsLayout.h"

bool PreviewModel::MayPreview(const PreviewView& view, int row) const {
    // The preview belongs to the Screensavers page: it never runs behind another page, during the
    // test run, or once the window is going.
    return built_ && !closing_ && !testRun_ && view.page == kScreensaversPageIndex && row >= 0 && row < view.rowCount;
}

void PreviewModel::Stop(PreviewActions& out) {
    if (!PreviewRunning_) return;
    out.push_back({PreviewStep::StopPreview, -1});
    PreviewRunning_ = false;
}

void PreviewModel::SetSaverButtons(bool enable, PreviewActions& out) {
    if (SaverButtonsDisabled_ != enable) return;
    out.push_back({enable ? PreviewStep::EnableSaverButtons : PreviewStep::DisableSaverButtons, -1});
    SaverButtonsDisabled_ = !enable;
}

void PreviewModel::PreviewSelected(int row, const PreviewView& view, PreviewActions& out) {
    if (PreviewBusy_ || row == LastPreviewed_ || !MayPreview(view, row)) return;
    // While a saver's own settings or full-screen run is waited for, its buttons stay disabled.
    if (task_ == SaverTask::None) SetSaverButtons(true, out);
    LastPreviewed_ = row;
    PreviewBusy_ = true;
    Stop(out);
    out.push_back({PreviewStep::StartPreview, row});
}

void PreviewModel::Restart(const PreviewView& view, PreviewActions& out) {
    // A start under way decides for itself once it reports back (OnPreviewStarted).
    if (PreviewBusy_) return;
    LastPreviewed_ = kForceRestart;
    PreviewSelected(view.selectedRow, view, out);
}

PreviewActions PreviewModel::OnPainted(const PreviewView& view) {
    PreviewActions out;
    if (!built_) return out;
    if (view.page != kScreensaversPageIndex) {
        LastSeenPage_ = view.page;
        return out;
    }
    out.push_back({PreviewStep::DrawFrame, -1});
    if (view.selectedRow < 0) {
        if (view.rowCount > 0) {
            out.push_back({PreviewStep::SelectRow, 0});
            PreviewSelected(0, {view.page, 0, view.rowCount}, out);
        }
    } else if (view.page != LastSeenPage_ && !PreviewRunning_) {
        Restart(view, out);
    }
    LastSeenPage_ = view.page;
    return out;
}

PreviewActions PreviewModel::OnSelectionChanged(const PreviewView& view) {
    PreviewActions out;
    if (view.selectedRow < 0) return out;
    out.push_back({PreviewStep::CopyTick, view.selectedRow});
    PreviewSelected(view.selectedRow, view, out);
    return out;
}

PreviewActions PreviewModel::OnPreviewStarted(bool started, const PreviewView& view) {
    PreviewActions out;
    PreviewBusy_ = false;
    PreviewRunning_ = started;
    // Stopping the previous preview pumps messages, so the page or the selection may have moved on
    // while this one started.
    if (!MayPreview(view, LastPreviewed_)) {
        Stop(out);
    } else if (view.selectedRow != LastPreviewed_) {
        PreviewSelected(view.selectedRow, view, out);
    }
    return out;
}

PreviewActions PreviewModel::OnTabChanged() {
    PreviewActions out;
    // Paints of the other page may never come (the window is covered, or they are merged), so the
    // next paint of the Screensavers page must count as a return to it.
    LastSeenPage_ = -1;
    Stop(out);
    return out;
}

PreviewActions PreviewModel::OnSaverTask(SaverTask task, const PreviewView& view) {
    PreviewActions out;
    const int row = view.selectedRow;
    if (task == SaverTask::None || task_ != SaverTask::None || row < 0 || row >= view.rowCount) return out;
    task_ = task;
    taskRow_ = row;
    Stop(out);
    out.push_back(
        {task == SaverTask::Settings ? PreviewStep::OpenSaverSettings : PreviewStep::RunSaverFullScreen, row});
    return out;
}

PreviewActions PreviewModel::OnSaverTaskStarted(bool started, const PreviewView& view) {
    if (!started) return EndTask(view);
    PreviewActions out;
    SetSaverButtons(false, out);
    return out;
}

PreviewActions PreviewModel::OnSaverTaskEnded(const PreviewView& view) { return EndTask(view); }

PreviewActions PreviewModel::EndTask(const PreviewView& view) {
    PreviewActions out;
    const SaverTask task = task_;
    task_ = SaverTask::None;
    SetSaverButtons(true, out);
    // A saver's own settings may have changed how it looks, and its full-screen run took the
    // screen, so the preview of the same row starts afresh; a settings dialog leaves a preview
    // started meanwhile alone.
    if (task != SaverTask::None && view.selectedRow == taskRow_ &&
        (task == SaverTask::FullScreen || !PreviewRunning_)) {
        Restart(view, out);
    }
    return out;
}

PreviewActions PreviewModel::StopAndHold(bool& hold) {
    PreviewActions out;
    hold = true;
    Stop(out);
    return out;
}

PreviewActions PreviewModel::OnTestRunStarting() { return StopAndHold(testRun_); }

PreviewActions PreviewModel::OnTestRunEnded(const PreviewView& view) {
    // The run may have unticked a saver that lost the foreground and saved the list.
    PreviewActions out{{PreviewStep::ReloadTicks, -1}};
    testRun_ = false;
    Restart(view, out);
    return out;
}

PreviewActions PreviewModel::OnClosing() { return StopAndHold(closing_); }
