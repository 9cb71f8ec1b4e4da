// The run log file, runlog.txt in the data folder: one line per event of a full-screen run, so a
// user can tell why a screensaver never shows. Writing never fails the run: a log that cannot be
// written is skipped.
#pragma once

#include <cstddef>
#include <string>
#include <utility>

#include "host/RunLog.h"

// runlog.txt beside the list file.
std::string RunLogPathBeside(const std::string& saverListFile);

class RunLogFile {
public:
    explicit RunLogFile(std::string path) : path_(std::move(path)) {}
    // Appends the event with the local time; past the bound, keeps only the last lines.
    void Write(RunEvent event, const std::string& saverPath);

private:
    std::string path_;
    size_t lines_ = 0;  // lines in the file, counted at the first write
    bool counted_ = false;
};
