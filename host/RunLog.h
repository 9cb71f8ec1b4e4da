// The run log's text: one line per event of a full-screen run, and the bound that keeps the file
// small. Pure: built and tested natively; host/RunLog_win writes the file.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

enum class RunEvent {
    Started,             // a screensaver started
    TimeUp,              // its change time was up and it was closed
    UserInput,           // it ended, or the black screen was left, because the user came back
    EndedByItself,       // it ended with no user input since it started
    FailedToStart,       // its file could not be started
    NotInFrontUnticked,  // something else was in front when its time was up: unticked for good
    AllFailed,           // every ticked screensaver failed in a row: the screen stays black
};

struct LocalTime {
    int year, month, day, hour, minute, second;
};

// "2024-05-01 22:13:05  ended by itself         C:\Windows\system32\Mystify.scr" and CR LF; the
// event is padded so the paths line up.
std::string RunLogLine(const LocalTime& time, RunEvent event, std::string_view path);

// The file keeps the last kRunLogKeepLines lines once it has grown past kRunLogMaxLines.
constexpr size_t kRunLogMaxLines = 4000;
constexpr size_t kRunLogKeepLines = 3000;

// Lines ended by LF (CR LF included), plus a last unended one.
size_t CountLines(std::string_view text);
// The text from the start of its last `count` lines; all of it when it holds no more.
std::string_view LastLines(std::string_view text, size_t count);
