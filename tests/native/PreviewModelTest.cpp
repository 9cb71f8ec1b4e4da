#include "settingswnd/PreviewModel.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

// Each scenario is a run of events with the steps the window must take after each.
namespace {

// What happens to the window, as the call the window makes to the model.
using Event = PreviewActions (*)(PreviewModel&, const PreviewView&);

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

namespace on {
PreviewActions Built(PreviewModel& m, const PreviewView&) { return m.OnWindowBuilt(), PreviewActions{}; }
PreviewActions Paint(PreviewModel& m, const PreviewView& v) { return m.OnPainted(v); }
PreviewActions Select(PreviewModel& m, const PreviewView& v) { return m.OnSelectionChanged(v); }
PreviewActions Started(PreviewModel& m, const PreviewView& v) { return m.OnPreviewStarted(true, v); }
PreviewActions StartFailed(PreviewModel& m, const PreviewView& v) { return m.OnPreviewStarted(false, v); }
PreviewActions Tab(PreviewModel& m, const PreviewView&) { return m.OnTabChanged(); }
PreviewActions Settings(PreviewModel& m, const PreviewView& v) { return m.OnSaverTask(SaverTask::Settings, v); }
PreviewActions FullScreen(PreviewModel& m, const PreviewView& v) { return m.OnSaverTask(SaverTask::FullScreen, v); }
PreviewActions TaskStarted(PreviewModel& m, const PreviewView& v) { return m.OnSaverTaskStarted(true, v); }
PreviewActions TaskFailed(PreviewModel& m, const PreviewView& v) { return m.OnSaverTaskStarted(false, v); }
PreviewActions TaskEnded(PreviewModel& m, const PreviewView& v) { return m.OnSaverTaskEnded(v); }
PreviewActions TestRun(PreviewModel& m, const PreviewView&) { return m.OnTestRunStarting(); }
PreviewActions TestRunEnded(PreviewModel& m, const PreviewView& v) { return m.OnTestRunEnded(v); }
PreviewActions Close(PreviewModel& m, const PreviewView&) { return m.OnClosing(); }
}  // namespace on

// The window shown with three savers, row 0 previewing.
const std::vector<Step> kShown = {
    {on::Paint, {0, -1, 3}, ""},  // painted while being built
    {on::Built, {}, ""},          {on::Paint, {0, -1, 3}, "Frame Select0 Start0"},
    {on::Started, {0, 0, 3}, ""}, {on::Paint, {0, 0, 3}, "Frame"},
};

void RunScenario(const std::vector<Step>& scenario) {
    PreviewModel model;
    std::vector<Step> steps = kShown;
    steps.insert(steps.end(), scenario.begin(), scenario.end());
    for (size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(i < kShown.size() ? "showing, step " + std::to_string(i)
                                       : "scenario step " + std::to_string(i - kShown.size()));
        EXPECT_EQ(Describe(steps[i].event(model, steps[i].view)), steps[i].steps);
    }
}

TEST(PreviewModel, EachScenarioTakesItsSteps) {
    const std::vector<std::vector<Step>> scenarios = {
        // The test run leaves the Screensavers page current, so no later paint would restart the preview.
        {{on::TestRun, {}, "Stop"},
         {on::Paint, {0, 0, 3}, "Frame"},
         {on::TestRunEnded, {0, 0, 3}, "Reload Start0"},
         {on::Started, {0, 0, 3}, ""},
         {on::Paint, {0, 0, 3}, "Frame"},
         {on::Tab, {}, "Stop"},
         {on::TestRun, {}, ""},
         {on::TestRunEnded, {1, 0, 3}, "Reload"},
         {on::Paint, {0, 0, 3}, "Frame Start0"}},
        // The end of a saver's settings dialog or full-screen run restarts the preview of its row.
        {{on::Settings, {0, 0, 3}, "Stop Settings0"},
         {on::TaskStarted, {0, 0, 3}, "Disable"},
         {on::TaskEnded, {0, 0, 3}, "Enable Start0"},
         {on::Started, {0, 0, 3}, ""},
         // A saver that cannot start its settings changes nothing.
         {on::Settings, {0, 0, 3}, "Stop Settings0"},
         {on::TaskFailed, {0, 0, 3}, "Start0"},
         {on::Started, {0, 0, 3}, ""},
         // A settings dialog leaves a preview started meanwhile for the same row alone.
         {on::Settings, {0, 0, 3}, "Stop Settings0"},
         {on::TaskStarted, {0, 0, 3}, "Disable"},
         {on::Select, {0, 1, 3}, "Tick1 Start1"},
         {on::Started, {0, 1, 3}, ""},
         {on::Select, {0, 0, 3}, "Tick0 Stop Start0"},
         {on::Started, {0, 0, 3}, ""},
         {on::TaskEnded, {0, 0, 3}, "Enable"},
         // After a full-screen run the preview of its row starts afresh in any case.
         {on::FullScreen, {0, 0, 3}, "Stop FullScreen0"},
         {on::TaskStarted, {0, 0, 3}, "Disable"},
         {on::Select, {0, 1, 3}, "Tick1 Start1"},
         {on::Started, {0, 1, 3}, ""},
         {on::Select, {0, 0, 3}, "Tick0 Stop Start0"},
         {on::Started, {0, 0, 3}, ""},
         {on::TaskEnded, {0, 0, 3}, "Enable Stop Start0"}},
        // Stopping a preview pumps messages: what happens meanwhile is caught up once the start reports.
        {{on::Select, {0, 1, 3}, "Tick1 Stop Start1"},
         {on::Select, {0, 2, 3}, "Tick2"},
         {on::Started, {0, 2, 3}, "Stop Start2"},
         {on::Started, {0, 2, 3}, ""},
         {on::Select, {0, 1, 3}, "Tick1 Stop Start1"},
         {on::Tab, {}, ""},
         {on::Started, {1, 1, 3}, "Stop"},
         {on::Paint, {1, 1, 3}, ""},
         {on::Paint, {0, 1, 3}, "Frame Start1"},
         {on::Tab, {}, ""},
         {on::Paint, {0, 1, 3}, "Frame"},
         {on::Started, {0, 1, 3}, ""}},
        // A saver that will not start is not tried again on every paint; reselecting a row keeps its preview.
        {{on::Select, {0, 0, 3}, "Tick0"},
         {on::Select, {0, 1, 3}, "Tick1 Stop Start1"},
         {on::StartFailed, {0, 1, 3}, ""},
         {on::Paint, {0, 1, 3}, "Frame"},
         {on::Select, {0, 2, 3}, "Tick2 Start2"}},
        // Nothing starts once closing.
        {{on::Close, {}, "Stop"},
         {on::Paint, {0, -1, 3}, "Frame Select0"},
         {on::Select, {0, 1, 3}, "Tick1"},
         {on::TestRunEnded, {0, 1, 3}, "Reload"}},
        {{on::Select, {0, 1, 3}, "Tick1 Stop Start1"}, {on::Close, {}, ""}, {on::Started, {0, 1, 3}, "Stop"}},
    };
    for (size_t i = 0; i < scenarios.size(); ++i) {
        SCOPED_TRACE("scenario " + std::to_string(i));
        RunScenario(scenarios[i]);
    }
}

TEST(PreviewModel, EmptyCatalogueStartsNothing) {
    PreviewModel model;
    model.OnWindowBuilt();
    for (const Step& step : std::vector<Step>{{on::Paint, {0, -1, 0}, "Frame"},
                                              {on::Select, {0, -1, 0}, ""},
                                              {on::Settings, {0, -1, 0}, ""},
                                              {on::TestRunEnded, {0, -1, 0}, "Reload"}})
        EXPECT_EQ(Describe(step.event(model, step.view)), step.steps);
}

}  // namespace
