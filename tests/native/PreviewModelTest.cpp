#include "settingswnd/PreviewModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each scenario is a run of events with the steps the window must take after each.
namespace {

enum class Event {
    Built,
    Paint,
    Select,
    Started,
    StartFailed,
    Tab,
    Settings,
    FullScreen,
    TaskStarted,
    TaskFailed,
    TaskEnded,
    TestRun,
    TestRunEnded,
    Close
};

struct Step {
    Event event;
    PreviewView view;  // page, selected row, rows
    const char* steps;
};

std::string Describe(const PreviewActions& actions) {
    static const char* const kNames[] = {"Frame", "Select", "Tick",     "Enable",     "Disable",
                                         "Stop",  "Start",  "Settings", "FullScreen", "Reload"};
    std::string text;
    for (const PreviewAction& action : actions) {
        if (!text.empty()) text += ' ';
        text += kNames[static_cast<int>(action.step)];
        if (action.row >= 0) text += std::to_string(action.row);
    }
    return text;
}

PreviewActions Apply(PreviewModel& model, const Step& step) {
    switch (step.event) {
        case Event::Built:
            model.OnWindowBuilt();
            return {};
        case Event::Paint:
            return model.OnPainted(step.view);
        case Event::Select:
            return model.OnSelectionChanged(step.view);
        case Event::Started:
        case Event::StartFailed:
            return model.OnPreviewStarted(step.event == Event::Started, step.view);
        case Event::Tab:
            return model.OnTabChanged();
        case Event::Settings:
            return model.OnSaverTask(SaverTask::Settings, step.view);
        case Event::FullScreen:
            return model.OnSaverTask(SaverTask::FullScreen, step.view);
        case Event::TaskStarted:
        case Event::TaskFailed:
            return model.OnSaverTaskStarted(step.event == Event::TaskStarted, step.view);
        case Event::TaskEnded:
            return model.OnSaverTaskEnded(step.view);
        case Event::TestRun:
            return model.OnTestRunStarting();
        case Event::TestRunEnded:
            return model.OnTestRunEnded(step.view);
        case Event::Close:
            return model.OnClosing();
    }
    return {};
}

// The window shown with three savers, row 0 previewing.
const std::vector<Step> kShown = {
    {Event::Paint, {0, -1, 3}, ""},  // painted while being built
    {Event::Built, {}, ""},          {Event::Paint, {0, -1, 3}, "Frame Select0 Start0"},
    {Event::Started, {0, 0, 3}, ""}, {Event::Paint, {0, 0, 3}, "Frame"},
};

void RunScenario(const std::vector<Step>& scenario, PreviewModel* out = nullptr) {
    PreviewModel model;
    std::vector<Step> steps = kShown;
    steps.insert(steps.end(), scenario.begin(), scenario.end());
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i < kShown.size() ? "showing, step " + std::to_string(i)
                                       : "scenario step " + std::to_string(i - kShown.size()));
        EXPECT_EQ(Describe(Apply(model, steps[i])), steps[i].steps);
    }
    if (out) *out = model;
}

TEST(PreviewModel, ReselectingThePreviewedRowKeepsItsPreview) {
    RunScenario({{Event::Select, {0, 0, 3}, "Tick0"},
                 {Event::Select, {0, 2, 3}, "Tick2 Stop Start2"},
                 {Event::Started, {0, 2, 3}, ""},
                 {Event::Select, {0, -1, 3}, ""}});
}

// The preview stops with every tab change and starts again on the way back.
TEST(PreviewModel, TabRoundTripRestartsThePreview) {
    RunScenario({{Event::Tab, {}, "Stop"},
                 {Event::Paint, {1, 0, 3}, ""},
                 {Event::Tab, {}, ""},
                 {Event::Paint, {0, 0, 3}, "Frame Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 {Event::Paint, {0, 0, 3}, "Frame"}});
}

// The test run leaves the Screensavers page current, so no later paint would restart the preview.
TEST(PreviewModel, TestRunReloadsTicksAndRestartsThePreview) {
    RunScenario({{Event::TestRun, {}, "Stop"},
                 {Event::Paint, {0, 0, 3}, "Frame"},
                 {Event::TestRunEnded, {0, 0, 3}, "Reload Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 {Event::Paint, {0, 0, 3}, "Frame"},
                 {Event::Tab, {}, "Stop"},
                 {Event::TestRun, {}, ""},
                 {Event::TestRunEnded, {1, 0, 3}, "Reload"},
                 {Event::Paint, {0, 0, 3}, "Frame Start0"}});
}

// A saver's own settings dialog is not the preview: a tab change or a new selection meanwhile
// stops and starts previews only, and the buttons stay disabled until the dialog ends.
TEST(PreviewModel, SettingsDialogOutlivesPreviewChanges) {
    PreviewModel model;
    RunScenario({{Event::Settings, {0, 0, 3}, "Stop Settings0"},
                 {Event::TaskStarted, {0, 0, 3}, "Disable"},
                 {Event::Settings, {0, 0, 3}, ""},
                 {Event::Select, {0, 1, 3}, "Tick1 Start1"},
                 {Event::Started, {0, 1, 3}, ""},
                 {Event::Tab, {}, "Stop"},
                 {Event::Paint, {1, 1, 3}, ""},
                 {Event::TaskEnded, {1, 1, 3}, "Enable"},
                 {Event::Paint, {0, 1, 3}, "Frame Start1"}},
                &model);
    EXPECT_EQ(model.RunningTask(), SaverTask::None);
}

TEST(PreviewModel, SaverTaskEndRestartsThePreviewOfItsRow) {
    RunScenario({{Event::Settings, {0, 0, 3}, "Stop Settings0"},
                 {Event::TaskStarted, {0, 0, 3}, "Disable"},
                 {Event::TaskEnded, {0, 0, 3}, "Enable Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 {Event::FullScreen, {0, 0, 3}, "Stop FullScreen0"},
                 {Event::TaskStarted, {0, 0, 3}, "Disable"},
                 {Event::TaskEnded, {0, 0, 3}, "Enable Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 // A saver that cannot start its settings changes nothing.
                 {Event::Settings, {0, 0, 3}, "Stop Settings0"},
                 {Event::TaskFailed, {0, 0, 3}, "Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 // A settings dialog leaves a preview started meanwhile for the same row alone.
                 {Event::Settings, {0, 0, 3}, "Stop Settings0"},
                 {Event::TaskStarted, {0, 0, 3}, "Disable"},
                 {Event::Select, {0, 1, 3}, "Tick1 Start1"},
                 {Event::Started, {0, 1, 3}, ""},
                 {Event::Select, {0, 0, 3}, "Tick0 Stop Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 {Event::TaskEnded, {0, 0, 3}, "Enable"},
                 // After a full-screen run the preview of its row starts afresh in any case.
                 {Event::FullScreen, {0, 0, 3}, "Stop FullScreen0"},
                 {Event::TaskStarted, {0, 0, 3}, "Disable"},
                 {Event::Select, {0, 1, 3}, "Tick1 Start1"},
                 {Event::Started, {0, 1, 3}, ""},
                 {Event::Select, {0, 0, 3}, "Tick0 Stop Start0"},
                 {Event::Started, {0, 0, 3}, ""},
                 {Event::TaskEnded, {0, 0, 3}, "Enable Stop Start0"}});
}

// Stopping a preview pumps messages: what happens meanwhile is caught up once the start reports.
TEST(PreviewModel, EventsDuringAStartAreCaughtUp) {
    RunScenario({{Event::Select, {0, 1, 3}, "Tick1 Stop Start1"},
                 {Event::Select, {0, 2, 3}, "Tick2"},
                 {Event::Started, {0, 2, 3}, "Stop Start2"},
                 {Event::Started, {0, 2, 3}, ""},
                 {Event::Select, {0, 1, 3}, "Tick1 Stop Start1"},
                 {Event::Tab, {}, ""},
                 {Event::Started, {1, 1, 3}, "Stop"},
                 {Event::Paint, {1, 1, 3}, ""},
                 {Event::Paint, {0, 1, 3}, "Frame Start1"},
                 {Event::Tab, {}, ""},
                 {Event::Paint, {0, 1, 3}, "Frame"},
                 {Event::Started, {0, 1, 3}, ""}});
}

// A saver that will not start is not tried again on every paint.
TEST(PreviewModel, FailedStartIsNotRetriedByPaints) {
    RunScenario({{Event::Select, {0, 1, 3}, "Tick1 Stop Start1"},
                 {Event::StartFailed, {0, 1, 3}, ""},
                 {Event::Paint, {0, 1, 3}, "Frame"},
                 {Event::Select, {0, 2, 3}, "Tick2 Start2"}});
}

TEST(PreviewModel, NothingStartsOnceClosing) {
    RunScenario({{Event::Close, {}, "Stop"},
                 {Event::Paint, {0, -1, 3}, "Frame Select0"},
                 {Event::Select, {0, 1, 3}, "Tick1"},
                 {Event::TestRunEnded, {0, 1, 3}, "Reload"}});
    RunScenario(
        {{Event::Select, {0, 1, 3}, "Tick1 Stop Start1"}, {Event::Close, {}, ""}, {Event::Started, {0, 1, 3}, "Stop"}});
}

TEST(PreviewModel, EmptyCatalogueStartsNothing) {
    PreviewModel model;
    model.OnWindowBuilt();
    for (const Step& step : std::vector<Step>{{Event::Paint, {0, -1, 0}, "Frame"},
                                              {Event::Select, {0, -1, 0}, ""},
                                              {Event::Settings, {0, -1, 0}, ""},
                                              {Event::TestRunEnded, {0, -1, 0}, "Reload"}})
        EXPECT_EQ(Describe(Apply(model, step)), step.steps);
}

}  // namespace
